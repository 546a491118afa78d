-- The demo season of the programme database: companies, shows, the venue's three rooms, timeslot
-- groups around today's date with follow-up plans in every state of the status line, and the
-- contracts already made. Dates are computed from CURDATE() so that the demo stays current.
-- The file is UTF-8; the server converts to the latin1 (Windows-1252) columns.
SET NAMES utf8mb4;

-- The codes are those of the ticketing rooms that each room sells as, so that the sales
-- charts find their capacity; the small room sells under none, and has no fill rate there.
INSERT INTO `salle` (`id`, `name`, `code`, `capacity`, `contract_name`) VALUES
  (0, 'Grande salle', 'ZOD', '220 places assises', 'la Grande Salle du Kiosque (KQ), 12 rue des Teinturiers'),
  (1, 'Petite salle', 'PS', '49 places', 'la Petite Salle du Kiosque (KQ), 12 rue des Teinturiers'),
  (2, 'Chapelle', 'KQ', '90 places', 'la Chapelle du Kiosque (KQ), 3 place des Carmes');

INSERT INTO `comp` (`id`, `nom`, `email`, `contact1`, `contact2`, `deleted`, `fulladr`) VALUES
  (0, '<compagnie à définir>', '', '', '', 0, ''),
  (1, 'Théâtre du Pont-Neuf', 'diffusion@pontneuf.example', 'Hélène Martin 06 12 34 56 78', 'Régie : Luc', 0,
      'Théâtre du Pont-Neuf\r\n14 quai de la Loire\r\n37000 Tours'),
  (2, 'Compagnie des Éléphants Roses', 'contact@elephants.example', 'Zoé Garnier', '', 0,
      'Cie des Éléphants Roses\r\nMaison des associations\r\n69003 Lyon'),
  (3, 'Les Arlequins d''Avignon', 'arlequins@example.org', 'Jérôme Faure', 'Anaïs (administration)', 0,
      '5 rue Thiers\r\n84000 Avignon'),
  (4, 'Collectif Même Pas Peur', 'mpp@example.net', 'Noël Chevalier', '', 0, '22 avenue Jean-Jaurès\r\n13001 Marseille'),
  (5, 'La Troupe à Léon', 'leon@example.com', 'Léon Dubœuf', 'François', 0, '1 impasse du Moulin\r\n30000 Nîmes'),
  (6, 'Cie Œil de Bœuf', 'oeil@example.fr', 'Gaëlle Roux', '', 0, '8 rue Émile-Zola\r\n34000 Montpellier'),
  (7, 'Compagnie Fantôme', '', '', '', 1, '');

INSERT INTO `showname` (`id`, `name`, `comp`, `deleted`) VALUES
  (0, '<spectacle à définir (compagnie <compagnie à définir>)>', 0, 0),
  (1, 'L''Été en scène', 1, 0),
  (2, 'Le Misanthrope', 1, 0),
  (3, 'Barbe-Bleue', 2, 0),
  (4, 'Les Fourberies de Scapin', 3, 0),
  (5, 'Ça déménage !', 4, 0),
  (6, 'Contes à rebours', 5, 0),
  (7, 'Antigone', 5, 0),
  (8, 'Cœur de pierre', 6, 0),
  (9, 'Ubu roi', 7, 1),
  (10, '<spectacle à définir (compagnie Collectif Même Pas Peur)>', 4, 0);

-- Follow-up texts: items joined by "$$$", dates written day/month/year without padding.
SET @f = '%e/%c/%Y';
SET @t = CURDATE();
SET @sent = 'Contrat envoyé par KQ';
SET @back = 'Contrat reçu par KQ';
SET @returned = 'Contrat retouné à la compagnie par KQ';
SET @asked = 'Visuel et affiches demandés';
SET @got = 'Visuel et affiches reçus';
SET @closing = '$$$Stat envoyé par KQ à la compagnie$$$Facture et attestation TVA de la compagnie reçues par KQ$$$Paiement de la compagnie fait par KQ';
SET @bare_payments = '$$$Règlement 1$$$Règlement 2$$$Règlement 3$$$Règlement 4$$$Règlement 5';

-- The plan of a group with a return deadline (days from today) and five payments of 350 due
-- at the given days from today.
SET @plan = 'Contrat envoyé par KQ$$$Contrat reçu par KQ=%D$$$Contrat retouné à la compagnie par KQ$$$Visuel et affiches demandés$$$Visuel et affiches reçus$$$Règlement 1=%1:350$$$Règlement 2=%2:350$$$Règlement 3=%3:350$$$Règlement 4=%4:350$$$Règlement 5=%5:350';

-- One "done" item: title=Fait le d/m/yyyy, optionally with the amount reached.
-- (Written out below with CONCAT and DATE_FORMAT.)

INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`, `room`, `todo`, `done`, `survey`) VALUES
  -- Group 0: no follow-up at all.
  (0, @t + INTERVAL 20 DAY, '21:00:00', '22:15:00', 0, 2, -1, 0, '', '', ''),
  (1, @t + INTERVAL 21 DAY, '21:00:00', '22:15:00', 0, 2, 0, 0, '', '', ''),
  -- Group 2: contract still to send.
  (2, @t + INTERVAL 30 DAY, '10:30:00', '11:20:00', 0, 6, -1, 1,
     CONCAT(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(@plan, '%D', DATE_FORMAT(@t + INTERVAL 10 DAY, @f)),
       '%1', DATE_FORMAT(@t + INTERVAL 5 DAY, @f)), '%2', DATE_FORMAT(@t + INTERVAL 30 DAY, @f)),
       '%3', DATE_FORMAT(@t + INTERVAL 40 DAY, @f)), '%4', DATE_FORMAT(@t + INTERVAL 50 DAY, @f)),
       '%5', DATE_FORMAT(@t + INTERVAL 60 DAY, @f)), @closing),
     '', 'Accueil compagnie.txt'),
  (3, @t + INTERVAL 31 DAY, '10:30:00', '11:20:00', 0, 6, 2, 1, '', '', ''),
  (4, @t + INTERVAL 32 DAY, '15:00:00', '15:50:00', 0, 6, 2, 1, '', '', ''),
  -- Group 5: contract sent four days ago, six days left before the return deadline.
  (5, @t + INTERVAL 25 DAY, '19:00:00', '20:30:00', 0, 3, -1, 0,
     CONCAT(@sent, '$$$', @back, '=', DATE_FORMAT(@t + INTERVAL 6 DAY, @f), '$$$', @returned, '$$$', @asked, '$$$', @got, @bare_payments, @closing),
     CONCAT(@sent, '=Fait le ', DATE_FORMAT(@t - INTERVAL 4 DAY, @f)), 'Accueil compagnie.txt'),
  (6, @t + INTERVAL 26 DAY, '19:00:00', '20:30:00', 0, 3, 5, 0, '', '', ''),
  -- Group 7: the return deadline passed three days ago.
  (7, @t + INTERVAL 12 DAY, '17:45:00', '19:00:00', 0, 4, -1, 2,
     CONCAT(@sent, '$$$', @back, '=', DATE_FORMAT(@t - INTERVAL 3 DAY, @f), '$$$', @returned, '$$$', @asked, '$$$', @got, @bare_payments, @closing),
     CONCAT(@sent, '=Fait le ', DATE_FORMAT(@t - INTERVAL 15 DAY, @f)), 'Accueil compagnie.txt'),
  (8, @t + INTERVAL 13 DAY, '17:45:00', '19:00:00', 0, 4, 7, 2, '', '', ''),
  (9, @t + INTERVAL 14 DAY, '17:45:00', '19:00:00', 0, 4, 7, 2, '', '', ''),
  -- Group 10: waiting for the contract, no return deadline in the plan; its template is on
  -- another workstation only (the editor says so and keeps the plan).
  (10, @t + INTERVAL 40 DAY, '20:00:00', '21:00:00', 0, 5, -1, 1,
     CONCAT(@sent, '$$$', @back, '$$$', @returned, '$$$', @asked, '$$$', @got, @bare_payments, @closing),
     CONCAT(@sent, '=Fait le ', DATE_FORMAT(@t - INTERVAL 2 DAY, @f)), 'Location de salle 2026.txt'),
  -- Group 11: contract back but not yet countersigned, visuals not asked for.
  (11, @t + INTERVAL 8 DAY, '14:00:00', '15:10:00', 0, 7, -1, 2,
     CONCAT(@sent, '$$$', @back, '=', DATE_FORMAT(@t - INTERVAL 8 DAY, @f), '$$$', @returned, '$$$', @asked, '$$$', @got, @bare_payments, @closing),
     CONCAT(@sent, '=Fait le ', DATE_FORMAT(@t - INTERVAL 20 DAY, @f), '$$$', @back, '=Fait le ', DATE_FORMAT(@t - INTERVAL 10 DAY, @f)),
     'Accueil compagnie.txt'),
  (12, @t + INTERVAL 9 DAY, '14:00:00', '15:10:00', 0, 7, 11, 2, '', '', ''),
  -- Group 13: contract done, visuals asked for, one payment of two due made.
  (13, @t + INTERVAL 5 DAY, '21:30:00', '23:00:00', 0, 8, -1, 0,
     CONCAT(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(@plan, '%D', DATE_FORMAT(@t - INTERVAL 30 DAY, @f)),
       '%1', DATE_FORMAT(@t - INTERVAL 40 DAY, @f)), '%2', DATE_FORMAT(@t - INTERVAL 10 DAY, @f)),
       '%3', DATE_FORMAT(@t + INTERVAL 5 DAY, @f)), '%4', DATE_FORMAT(@t + INTERVAL 35 DAY, @f)),
       '%5', DATE_FORMAT(@t + INTERVAL 65 DAY, @f)), @closing),
     CONCAT(@sent, '=Fait le ', DATE_FORMAT(@t - INTERVAL 45 DAY, @f), '$$$', @back, '=Fait le ', DATE_FORMAT(@t - INTERVAL 35 DAY, @f),
            '$$$', @returned, '=Fait le ', DATE_FORMAT(@t - INTERVAL 33 DAY, @f), '$$$', @asked, '=Fait le ', DATE_FORMAT(@t - INTERVAL 20 DAY, @f),
            '$$$Règlement 1=Fait le ', DATE_FORMAT(@t - INTERVAL 39 DAY, @f), ' (350)'),
     'Accueil compagnie.txt'),
  (14, @t + INTERVAL 6 DAY, '21:30:00', '23:00:00', 0, 8, 13, 0, '', '', ''),
  (15, @t + INTERVAL 7 DAY, '18:00:00', '19:30:00', 0, 8, 13, 0, '', '', ''),
  -- Group 16: everything in order so far; its two extra dates were cancelled.
  (16, @t + INTERVAL 2 DAY, '11:00:00', '12:00:00', 0, 1, -1, 1,
     CONCAT(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(@plan, '%D', DATE_FORMAT(@t - INTERVAL 40 DAY, @f)),
       '%1', DATE_FORMAT(@t - INTERVAL 50 DAY, @f)), '%2', DATE_FORMAT(@t - INTERVAL 20 DAY, @f)),
       '%3', DATE_FORMAT(@t + INTERVAL 2 DAY, @f)), '%4', DATE_FORMAT(@t + INTERVAL 32 DAY, @f)),
       '%5', DATE_FORMAT(@t + INTERVAL 62 DAY, @f)), @closing),
     CONCAT(@sent, '=Fait le ', DATE_FORMAT(@t - INTERVAL 55 DAY, @f), '$$$', @back, '=Fait le ', DATE_FORMAT(@t - INTERVAL 45 DAY, @f),
            '$$$', @returned, '=Fait le ', DATE_FORMAT(@t - INTERVAL 44 DAY, @f), '$$$', @asked, '=Fait le ', DATE_FORMAT(@t - INTERVAL 30 DAY, @f),
            '$$$', @got, '=Fait le ', DATE_FORMAT(@t - INTERVAL 12 DAY, @f),
            '$$$Règlement 1=Fait le ', DATE_FORMAT(@t - INTERVAL 50 DAY, @f), ' (350)',
            '$$$Règlement 2=Fait le ', DATE_FORMAT(@t - INTERVAL 19 DAY, @f), ' (350.00)'),
     'Accueil compagnie.txt'),
  (17, @t + INTERVAL 3 DAY, '11:00:00', '12:00:00', 1, 1, 16, 1, '', '', ''),
  (18, @t + INTERVAL 4 DAY, '11:00:00', '12:00:00', 1, 1, 16, 1, '', '', ''),
  -- Group 19: playing today (already counted as past): one payment short, statistics to send.
  (19, @t, '18:30:00', '19:45:00', 0, 4, -1, 0,
     CONCAT(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(@plan, '%D', DATE_FORMAT(@t - INTERVAL 50 DAY, @f)),
       '%1', DATE_FORMAT(@t - INTERVAL 60 DAY, @f)), '%2', DATE_FORMAT(@t - INTERVAL 30 DAY, @f)),
       '%3', DATE_FORMAT(@t, @f)), '%4', DATE_FORMAT(@t + INTERVAL 30 DAY, @f)),
       '%5', DATE_FORMAT(@t + INTERVAL 60 DAY, @f)), @closing),
     CONCAT(@sent, '=Fait le ', DATE_FORMAT(@t - INTERVAL 70 DAY, @f), '$$$', @back, '=Fait le ', DATE_FORMAT(@t - INTERVAL 55 DAY, @f),
            '$$$', @returned, '=Fait le ', DATE_FORMAT(@t - INTERVAL 54 DAY, @f), '$$$', @asked, '=Fait le ', DATE_FORMAT(@t - INTERVAL 40 DAY, @f),
            '$$$', @got, '=Fait le ', DATE_FORMAT(@t - INTERVAL 20 DAY, @f),
            '$$$Règlement 1=Fait le ', DATE_FORMAT(@t - INTERVAL 60 DAY, @f), ' (350)',
            '$$$Règlement 2=Fait le ', DATE_FORMAT(@t - INTERVAL 28 DAY, @f), ' (350)'),
     'Accueil compagnie.txt'),
  (20, @t + INTERVAL 1 DAY, '18:30:00', '19:45:00', 0, 4, 19, 0, '', '', ''),
  -- Group 21: over, paid up, statistics sent, waiting for the invoice.
  (21, @t - INTERVAL 10 DAY, '16:00:00', '17:00:00', 0, 3, -1, 2,
     CONCAT(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(@plan, '%D', DATE_FORMAT(@t - INTERVAL 60 DAY, @f)),
       '%1', DATE_FORMAT(@t - INTERVAL 70 DAY, @f)), '%2', DATE_FORMAT(@t - INTERVAL 40 DAY, @f)),
       '%3', DATE_FORMAT(@t - INTERVAL 10 DAY, @f)), '%4', DATE_FORMAT(@t + INTERVAL 20 DAY, @f)),
       '%5', DATE_FORMAT(@t + INTERVAL 50 DAY, @f)), @closing),
     CONCAT(@sent, '=Fait le ', DATE_FORMAT(@t - INTERVAL 80 DAY, @f), '$$$', @back, '=Fait le ', DATE_FORMAT(@t - INTERVAL 65 DAY, @f),
            '$$$', @returned, '=Fait le ', DATE_FORMAT(@t - INTERVAL 64 DAY, @f), '$$$', @asked, '=Fait le ', DATE_FORMAT(@t - INTERVAL 50 DAY, @f),
            '$$$', @got, '=Fait le ', DATE_FORMAT(@t - INTERVAL 30 DAY, @f),
            '$$$Règlement 1=Fait le ', DATE_FORMAT(@t - INTERVAL 70 DAY, @f), ' (350)',
            '$$$Règlement 2=Fait le ', DATE_FORMAT(@t - INTERVAL 40 DAY, @f), ' (350)',
            '$$$Règlement 3=Fait le ', DATE_FORMAT(@t - INTERVAL 10 DAY, @f), ' (350)',
            '$$$Stat envoyé par KQ à la compagnie=Fait le ', DATE_FORMAT(@t - INTERVAL 8 DAY, @f)),
     'Accueil compagnie.txt'),
  (22, @t - INTERVAL 9 DAY, '16:00:00', '17:00:00', 0, 3, 21, 2, '', '', ''),
  (23, @t - INTERVAL 8 DAY, '16:00:00', '17:00:00', 0, 3, 21, 2, '', '', ''),
  -- Group 24: over, invoice received, the company still to be paid.
  (24, @t - INTERVAL 20 DAY, '21:00:00', '22:00:00', 0, 5, -1, 0,
     CONCAT(@sent, '$$$', @back, '$$$', @returned, '$$$', @asked, '$$$', @got, @bare_payments, @closing),
     CONCAT(@sent, '=Fait le ', DATE_FORMAT(@t - INTERVAL 90 DAY, @f), '$$$', @back, '=Fait le ', DATE_FORMAT(@t - INTERVAL 80 DAY, @f),
            '$$$', @returned, '=Fait le ', DATE_FORMAT(@t - INTERVAL 79 DAY, @f),
            '$$$Stat envoyé par KQ à la compagnie=Fait le ', DATE_FORMAT(@t - INTERVAL 18 DAY, @f),
            '$$$Facture et attestation TVA de la compagnie reçues par KQ=Fait le ', DATE_FORMAT(@t - INTERVAL 12 DAY, @f)),
     'Location de salle.txt'),
  -- Group 25: over and closed.
  (25, @t - INTERVAL 40 DAY, '20:30:00', '21:45:00', 0, 8, -1, 1,
     CONCAT(@sent, '$$$', @back, '$$$', @returned, '$$$', @asked, '$$$', @got, @bare_payments, @closing),
     CONCAT(@sent, '=Fait le ', DATE_FORMAT(@t - INTERVAL 100 DAY, @f), '$$$', @back, '=Fait le ', DATE_FORMAT(@t - INTERVAL 90 DAY, @f),
            '$$$', @returned, '=Fait le ', DATE_FORMAT(@t - INTERVAL 89 DAY, @f),
            '$$$Stat envoyé par KQ à la compagnie=Fait le ', DATE_FORMAT(@t - INTERVAL 38 DAY, @f),
            '$$$Facture et attestation TVA de la compagnie reçues par KQ=Fait le ', DATE_FORMAT(@t - INTERVAL 30 DAY, @f),
            '$$$Paiement de la compagnie fait par KQ=Fait le ', DATE_FORMAT(@t - INTERVAL 25 DAY, @f)),
     'Location de salle.txt'),
  (26, @t - INTERVAL 39 DAY, '20:30:00', '21:45:00', 0, 8, 25, 1, '', '', ''),
  -- Group 27: a past date without follow-up.
  (27, @t - INTERVAL 5 DAY, '15:00:00', '16:00:00', 0, 6, -1, 2, '', '', ''),
  -- Group 28: a cancelled group, deleted with its date.
  (28, @t + INTERVAL 15 DAY, '20:00:00', '21:00:00', 1, 9, -1, 0, '', '', ''),
  (29, @t + INTERVAL 16 DAY, '20:00:00', '21:00:00', 1, 9, 28, 0, '', '', '');

-- Contracts, stored as label$$$value rows joined by "###", each made on the day it was sent.
-- Their numbers name the documents that "Générer et ouvrir" writes (generated/<number>.rtf).
INSERT INTO `contract` (`id`, `ts`, `created`, `extra`, `deleted`, `rtf`) VALUES
  (0, 5, UTC_TIMESTAMP() - INTERVAL 4 DAY,
     'Numéro de contrat$$$BarbeBleue_1c2f_0a31_3e07###Créé par$$$Demo###Compagnie$$$Compagnie des Éléphants Roses###Spectacle$$$Barbe-Bleue###Salle$$$la Grande Salle du Kiosque (KQ), 12 rue des Teinturiers###Contenance salle$$$220 places assises###Auteur$$$(Auteur non défini)###Prix (TTC)$$$1750.00###Montant de chacun des 5 chèques$$$350.00###Forfait frais payés par KQ à la compagnie en euros TTC$$$150', 0, 'contrat_standard.rtf'),
  (1, 7, UTC_TIMESTAMP() - INTERVAL 15 DAY,
     'Numéro de contrat$$$LesFourberiesdeScapin_5b10_22c4_0f9e###Créé par$$$Demo###Compagnie$$$Les Arlequins d''Avignon###Spectacle$$$Les Fourberies de Scapin###Salle$$$la Chapelle du Kiosque (KQ), 3 place des Carmes###Contenance salle$$$90 places###Auteur$$$(Auteur non défini)###Prix (TTC)$$$1750.00###Montant de chacun des 5 chèques$$$350.00###Forfait frais payés par KQ à la compagnie en euros TTC$$$150', 0, 'contrat_standard.rtf'),
  (2, 10, UTC_TIMESTAMP() - INTERVAL 2 DAY,
     'Numéro de contrat$$$admnage_41d2_0c0b_7a55###Créé par$$$Demo###Compagnie$$$Collectif Même Pas Peur###Spectacle$$$Ça déménage !###Salle$$$la Petite Salle du Kiosque (KQ), 12 rue des Teinturiers###Prix (TTC)$$$600.00', 0, 'contrat_simple.rtf'),
  (3, 11, UTC_TIMESTAMP() - INTERVAL 20 DAY,
     'Numéro de contrat$$$Antigone_2e41_6f0c_1b9a###Créé par$$$Demo###Compagnie$$$La Troupe à Léon###Spectacle$$$Antigone###Salle$$$la Chapelle du Kiosque (KQ), 3 place des Carmes###Contenance salle$$$90 places###Auteur$$$(Auteur non défini)###Prix (TTC)$$$1750.00###Montant de chacun des 5 chèques$$$350.00###Forfait frais payés par KQ à la compagnie en euros TTC$$$150', 0, 'contrat_standard.rtf'),
  (4, 13, UTC_TIMESTAMP() - INTERVAL 45 DAY,
     'Numéro de contrat$$$Curdepierre_0d7e_3a18_52c1###Créé par$$$Demo###Compagnie$$$Cie Œil de Bœuf###Spectacle$$$Cœur de pierre###Salle$$$la Grande Salle du Kiosque (KQ), 12 rue des Teinturiers###Contenance salle$$$220 places assises###Auteur$$$(Auteur non défini)###Prix (TTC)$$$1750.00###Montant de chacun des 5 chèques$$$350.00###Forfait frais payés par KQ à la compagnie en euros TTC$$$150', 0, 'contrat_standard.rtf'),
  (5, 16, UTC_TIMESTAMP() - INTERVAL 55 DAY,
     'Numéro de contrat$$$Ltenscne_6c03_1f47_2b88###Créé par$$$Demo###Compagnie$$$Théâtre du Pont-Neuf###Spectacle$$$L''Été en scène###Salle$$$la Petite Salle du Kiosque (KQ), 12 rue des Teinturiers###Contenance salle$$$49 places###Auteur$$$(Auteur non défini)###Prix (TTC)$$$1750.00###Montant de chacun des 5 chèques$$$350.00###Forfait frais payés par KQ à la compagnie en euros TTC$$$150', 0, 'contrat_standard.rtf'),
  (6, 19, UTC_TIMESTAMP() - INTERVAL 70 DAY,
     'Numéro de contrat$$$LesFourberiesdeScapin_07aa_4c12_6d30###Créé par$$$Demo###Compagnie$$$Les Arlequins d''Avignon###Spectacle$$$Les Fourberies de Scapin###Salle$$$la Grande Salle du Kiosque (KQ), 12 rue des Teinturiers###Contenance salle$$$220 places assises###Auteur$$$(Auteur non défini)###Prix (TTC)$$$1750.00###Montant de chacun des 5 chèques$$$350.00###Forfait frais payés par KQ à la compagnie en euros TTC$$$150', 0, 'contrat_standard.rtf'),
  (7, 21, UTC_TIMESTAMP() - INTERVAL 80 DAY,
     'Numéro de contrat$$$BarbeBleue_33f1_0b2e_1c44###Créé par$$$Demo###Compagnie$$$Compagnie des Éléphants Roses###Spectacle$$$Barbe-Bleue###Salle$$$la Chapelle du Kiosque (KQ), 3 place des Carmes###Contenance salle$$$90 places###Auteur$$$(Auteur non défini)###Prix (TTC)$$$1750.00###Montant de chacun des 5 chèques$$$350.00###Forfait frais payés par KQ à la compagnie en euros TTC$$$150', 0, 'contrat_standard.rtf'),
  (8, 24, UTC_TIMESTAMP() - INTERVAL 90 DAY,
     'Numéro de contrat$$$admnage_12ab_7d03_0e61###Créé par$$$Demo###Compagnie$$$Collectif Même Pas Peur###Spectacle$$$Ça déménage !###Salle$$$la Grande Salle du Kiosque (KQ), 12 rue des Teinturiers###Prix (TTC)$$$600.00', 0, 'contrat_simple.rtf'),
  (9, 25, UTC_TIMESTAMP() - INTERVAL 100 DAY,
     'Numéro de contrat$$$Curdepierre_5e0f_2a9d_4410###Créé par$$$Demo###Compagnie$$$Cie Œil de Bœuf###Spectacle$$$Cœur de pierre###Salle$$$la Petite Salle du Kiosque (KQ), 12 rue des Teinturiers###Prix (TTC)$$$600.00', 0, 'contrat_simple.rtf'),
  (10, 28, UTC_TIMESTAMP() - INTERVAL 30 DAY,
     'Numéro de contrat$$$Uburoi_6a2c_1e3b_0c77###Créé par$$$Demo###Compagnie$$$Compagnie Fantôme###Spectacle$$$Ubu roi###Salle$$$la Grande Salle du Kiosque (KQ), 12 rue des Teinturiers###Prix (TTC)$$$600.00', 1, 'contrat_simple.rtf');

-- The audit trail: who opened the manager, and the delete of the Compagnie Fantôme with its
-- show, its group and its contract, which the Corbeille lists and can restore together.
INSERT INTO `logs` (`utc`, `log`) VALUES
  (UTC_TIMESTAMP() - INTERVAL 3 DAY - INTERVAL 2 HOUR, 'Demo : manager started'),
  (UTC_TIMESTAMP() - INTERVAL 3 DAY - INTERVAL 1 HOUR,
     'Demo : compagnie 7 "Compagnie Fantôme" : supprimée avec 1 spectacle, 1 groupe de créneaux et 1 contrat [comp=7 showname=9 timeslot=28,29 contract=10]');
