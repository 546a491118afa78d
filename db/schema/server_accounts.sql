-- The server-accounts mode (programme/accounts=server in brelo.ini): each member of staff logs
-- in with a MariaDB account of their own, and the server, not the program, decides what that
-- account may do. Run once in the programme database, as an administrator:
--     mariadb programme < server_accounts.sql
-- then give each account one of the two roles (docs/deployment.md):
--     CREATE USER 'Marie'@'%' IDENTIFIED BY '...' REQUIRE SSL;
--     GRANT brelo_editor TO 'Marie'@'%';  SET DEFAULT ROLE brelo_editor FOR 'Marie'@'%';
-- Deletes are soft (`deleted` set to 1), so no role may DELETE; nobody but the administrator
-- reads `access` (the passwords of the shared-account mode), and an audit line, once written,
-- stays as written.

CREATE ROLE IF NOT EXISTS brelo_reader;
CREATE ROLE IF NOT EXISTS brelo_editor;

EXECUTE IMMEDIATE CONCAT('GRANT SELECT ON `', DATABASE(), '`.`comp` TO brelo_reader');
EXECUTE IMMEDIATE CONCAT('GRANT SELECT ON `', DATABASE(), '`.`showname` TO brelo_reader');
EXECUTE IMMEDIATE CONCAT('GRANT SELECT ON `', DATABASE(), '`.`salle` TO brelo_reader');
EXECUTE IMMEDIATE CONCAT('GRANT SELECT ON `', DATABASE(), '`.`timeslot` TO brelo_reader');
EXECUTE IMMEDIATE CONCAT('GRANT SELECT ON `', DATABASE(), '`.`contract` TO brelo_reader');
EXECUTE IMMEDIATE CONCAT('GRANT SELECT ON `', DATABASE(), '`.`logs` TO brelo_reader');

EXECUTE IMMEDIATE CONCAT('GRANT SELECT, INSERT, UPDATE ON `', DATABASE(), '`.`comp` TO brelo_editor');
EXECUTE IMMEDIATE CONCAT('GRANT SELECT, INSERT, UPDATE ON `', DATABASE(), '`.`showname` TO brelo_editor');
EXECUTE IMMEDIATE CONCAT('GRANT SELECT, INSERT, UPDATE ON `', DATABASE(), '`.`salle` TO brelo_editor');
EXECUTE IMMEDIATE CONCAT('GRANT SELECT, INSERT, UPDATE ON `', DATABASE(), '`.`timeslot` TO brelo_editor');
EXECUTE IMMEDIATE CONCAT('GRANT SELECT, INSERT, UPDATE ON `', DATABASE(), '`.`contract` TO brelo_editor');
-- The journal and the Corbeille read the audit lines; a save adds its own.
EXECUTE IMMEDIATE CONCAT('GRANT SELECT, INSERT ON `', DATABASE(), '`.`logs` TO brelo_editor');
-- Each save's token, written in its transaction and then tied to its audit line, and looked up
-- after a link lost while the save travelled (its stored-once guarantee).
EXECUTE IMMEDIATE CONCAT('GRANT SELECT, INSERT, UPDATE ON `', DATABASE(), '`.`save_tokens` TO brelo_editor');

-- An audit line names its author first ("Marie : ..."): an account holding one of the roles
-- may write only lines that start with its own name. The shared account of the other mode
-- holds neither role and writes each line under the name of whoever logged in; the
-- administrator who made the roles holds them only to grant them.
DROP TRIGGER IF EXISTS `logs_author`;
DELIMITER //
CREATE TRIGGER `logs_author` BEFORE INSERT ON `logs` FOR EACH ROW
BEGIN
  DECLARE who VARCHAR(128) DEFAULT SUBSTRING_INDEX(USER(), '@', 1);
  IF EXISTS (SELECT 1 FROM mysql.roles_mapping
             WHERE `User` = who AND `Role` IN ('brelo_reader', 'brelo_editor') AND `Admin_option` = 'N')
     AND LEFT(NEW.`log`, CHAR_LENGTH(who) + 3) COLLATE latin1_bin <>
         CONVERT(CONCAT(who, ' : ') USING latin1) COLLATE latin1_bin THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'audit line under another account''s name refused';
  END IF;
END//
DELIMITER ;
