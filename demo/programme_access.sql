-- The demo accounts: "demo" may add and edit, "lecteur" may only look.
INSERT INTO `access` (`id`, `name`, `password`, `rights`) VALUES
  (1, 'Demo', 'brelo', 'all'),
  (2, 'Lecteur', 'lecture', '');
