-- The ticketing database, read only by the program: columns are taken by position.
CREATE TABLE `salle` (
  `id` INT NOT NULL,
  `name` VARCHAR(100) NOT NULL DEFAULT '',
  `last_sync` DATETIME NULL,
  PRIMARY KEY (`id`)
) DEFAULT CHARSET=latin1;

CREATE TABLE `shows` (
  `id` INT NOT NULL,
  `name` VARCHAR(255) NOT NULL DEFAULT '',
  `starts_at` DATETIME NOT NULL,
  `salle` INT NOT NULL DEFAULT 0,
  `capacity` INT NOT NULL DEFAULT 0,
  `tariffs` VARCHAR(1000) NOT NULL DEFAULT '',
  PRIMARY KEY (`id`)
) DEFAULT CHARSET=latin1;

CREATE TABLE `res` (
  `id` INT NOT NULL,
  `show_id` INT NOT NULL DEFAULT 0,
  `seats` INT NOT NULL DEFAULT 0,
  `prices` VARCHAR(1000) NOT NULL DEFAULT '',
  `tariffs` VARCHAR(1000) NOT NULL DEFAULT '',
  `paid` VARCHAR(1000) NOT NULL DEFAULT '',
  PRIMARY KEY (`id`),
  KEY `show_id` (`show_id`)
) DEFAULT CHARSET=latin1;
