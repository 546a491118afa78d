-- The programme database, read and written by the program: columns are taken by position.
-- Ids that the program may write with "%u" (so -1 arrives as 4294967295) are BIGINT, so that
-- the server stores what was written instead of clamping it.
CREATE TABLE `access` (
  `id` INT NOT NULL AUTO_INCREMENT,
  `name` VARCHAR(100) NOT NULL DEFAULT '',
  `password` VARCHAR(100) NOT NULL DEFAULT '',
  `rights` VARCHAR(255) NOT NULL DEFAULT '',
  PRIMARY KEY (`id`)
) DEFAULT CHARSET=latin1;

CREATE TABLE `comp` (
  `id` INT NOT NULL,
  `nom` VARCHAR(255) NOT NULL DEFAULT '',
  `email` VARCHAR(255) NOT NULL DEFAULT '',
  `contact1` VARCHAR(255) NOT NULL DEFAULT '',
  `contact2` VARCHAR(255) NOT NULL DEFAULT '',
  `deleted` INT NOT NULL DEFAULT 0,
  `fulladr` TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (`id`)
) DEFAULT CHARSET=latin1;

CREATE TABLE `showname` (
  `id` INT NOT NULL,
  `name` VARCHAR(255) NOT NULL DEFAULT '',
  `comp` BIGINT NOT NULL DEFAULT -1,
  `deleted` INT NOT NULL DEFAULT 0,
  PRIMARY KEY (`id`)
) DEFAULT CHARSET=latin1;

CREATE TABLE `salle` (
  `id` INT NOT NULL,
  `name` VARCHAR(100) NOT NULL DEFAULT '',
  `code` VARCHAR(20) NOT NULL DEFAULT '',
  `capacity` VARCHAR(50) NOT NULL DEFAULT '',
  `contract_name` VARCHAR(255) NOT NULL DEFAULT '',
  PRIMARY KEY (`id`)
) DEFAULT CHARSET=latin1;

-- A save of a group locks the group's slots by `childof`: without its index that read locks
-- the whole table (still right, only slower). Databases made before it need it once:
-- ALTER TABLE `timeslot` ADD INDEX `childof` (`childof`)
CREATE TABLE `timeslot` (
  `id` INT NOT NULL,
  `date` DATE NOT NULL,
  `start` TIME NOT NULL DEFAULT '00:00:00',
  `end` TIME NOT NULL DEFAULT '00:00:00',
  `deleted` INT NOT NULL DEFAULT 0,
  `showname` BIGINT NOT NULL DEFAULT 0,
  `childof` INT NOT NULL DEFAULT -1,
  `room` BIGINT NOT NULL DEFAULT 0,
  `todo` TEXT NOT NULL DEFAULT '',
  `done` TEXT NOT NULL DEFAULT '',
  `survey` VARCHAR(255) NOT NULL DEFAULT '',
  PRIMARY KEY (`id`),
  KEY `childof` (`childof`)
) DEFAULT CHARSET=latin1;

CREATE TABLE `contract` (
  `id` INT NOT NULL,
  `ts` BIGINT NOT NULL DEFAULT 0,
  `created` DATETIME NOT NULL DEFAULT CURRENT_TIMESTAMP,
  `extra` MEDIUMTEXT NOT NULL DEFAULT '',
  `deleted` INT NOT NULL DEFAULT 0,
  `rtf` VARCHAR(255) NOT NULL DEFAULT '',
  PRIMARY KEY (`id`)
) DEFAULT CHARSET=latin1;

CREATE TABLE `logs` (
  `id` INT NOT NULL AUTO_INCREMENT,
  `utc` DATETIME NOT NULL,
  `log` TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (`id`)
) DEFAULT CHARSET=latin1;

-- One row per committed save, written in its transaction beside its audit line (`log` is the
-- line's id): after a link lost while a save travelled, the program looks its token up to
-- learn whether it was stored. Databases made before it: run this statement once.
CREATE TABLE `save_tokens` (
  `token` CHAR(32) NOT NULL,
  `log` INT NOT NULL,
  PRIMARY KEY (`token`)
) DEFAULT CHARSET=latin1;
