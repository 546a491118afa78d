-- The months before the festival's days: a performance a day in the Kiosque and one in the
-- Zodiaque for four months, ending five days before the day the demo is loaded, so that the
-- charts have a month and a season to show (a season counts per week). Loaded after
-- ticketing.sql; written in UTF-8 like it. The ids stay clear of the festival's.
SET NAMES utf8mb4;

INSERT INTO `shows` (`id`, `name`, `starts_at`, `salle`, `capacity`, `tariffs`)
  SELECT 1000 + seq, 'Les Fâcheux', CURDATE() - INTERVAL 125 DAY + INTERVAL seq DAY + INTERVAL 20 HOUR, 0, 90, 'Plein'
  FROM seq_1_to_120;
INSERT INTO `shows` (`id`, `name`, `starts_at`, `salle`, `capacity`, `tariffs`)
  SELECT 10001000 + seq, 'Molière à la plage', CURDATE() - INTERVAL 125 DAY + INTERVAL seq DAY + INTERVAL 18 HOUR, 1, 220, 'Plein'
  FROM seq_1_to_120;

-- One reservation a performance: 20 to 79 seats of the Kiosque's 90, all paid; 60 to 209 of
-- the Zodiaque's 220, the first half paid.
INSERT INTO `res` (`id`, `show_id`, `seats`, `prices`, `tariffs`, `paid`)
  SELECT 100000 + seq, 1000 + seq, n, CONCAT(REPEAT('15:', n - 1), '15'), CONCAT(REPEAT('0:', n - 1), '0'),
         CONCAT(REPEAT('1;', n - 1), '1')
  FROM (SELECT seq, 20 + (seq * 37) % 60 AS n FROM seq_1_to_120) AS season;
INSERT INTO `res` (`id`, `show_id`, `seats`, `prices`, `tariffs`, `paid`)
  SELECT 200000 + seq, 10001000 + seq, n, CONCAT(REPEAT('18:', n - 1), '18'), CONCAT(REPEAT('0:', n - 1), '0'),
         CONCAT(REPEAT('1;', n DIV 2), REPEAT('0;', n - n DIV 2 - 1), '0')
  FROM (SELECT seq, 60 + (seq * 53) % 150 AS n FROM seq_1_to_120) AS season;
