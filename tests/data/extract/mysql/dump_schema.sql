-- A schema for the dump and round-trip tests: names holding "*/", ";"
-- and "--" in every object kind, a view over a view whose name sorts
-- later, routines with UNSIGNED, ZEROFILL, BOOLEAN and character-set
-- parameters, triggers, a table counter, partitioned and system-versioned
-- tables, and tables made by LIKE and by a query.
CREATE TABLE `t*/1;--x` (
  `id` INT UNSIGNED NOT NULL AUTO_INCREMENT,
  `c*/;-- d` VARCHAR(20) DEFAULT 'a*/b;--c',
  `flag` BOOLEAN DEFAULT 0,
  PRIMARY KEY (`id`),
  KEY `k*/;--` (`c*/;-- d`),
  UNIQUE KEY `u_flag` (`flag`, `id`)
) ENGINE=InnoDB AUTO_INCREMENT=42 DEFAULT CHARSET=utf8mb4;
CREATE TABLE base (id INT NOT NULL PRIMARY KEY, qty SMALLINT UNSIGNED ZEROFILL, note TEXT,
  bits INT DEFAULT (1 | 2 ^ 4), shifted INT DEFAULT (~0 & 255 << 1));
CREATE TABLE copied LIKE base;
CREATE TABLE made AS SELECT id, qty FROM base;
CREATE TABLE readings (id INT NOT NULL, y INT NOT NULL, PRIMARY KEY (id, y))
  PARTITION BY RANGE (y) (PARTITION p0 VALUES LESS THAN (2000), PARTITION p1 VALUES LESS THAN MAXVALUE);
CREATE TABLE prices (id INT NOT NULL PRIMARY KEY, amount DECIMAL(10,2)) WITH SYSTEM VERSIONING;
DELIMITER //
CREATE FUNCTION `f*/;--`(p TINYINT UNSIGNED) RETURNS TINYINT UNSIGNED DETERMINISTIC RETURN p + 1 //
CREATE FUNCTION is_big(q INT) RETURNS BOOLEAN DETERMINISTIC RETURN q > 10 //
CREATE PROCEDURE `p*/;--`(IN a INT(5) ZEROFILL, OUT b VARCHAR(10) CHARSET latin1)
BEGIN
  SET b = 'x*/;--y';
END //
CREATE TRIGGER `tr*/;--` BEFORE INSERT ON `t*/1;--x` FOR EACH ROW SET NEW.`c*/;-- d` = CONCAT(NEW.`c*/;-- d`, '*/;') //
CREATE TRIGGER base_bu BEFORE UPDATE ON base FOR EACH ROW BEGIN
  IF NEW.qty > 100 THEN SET NEW.note = 'big'; END IF;
END //
DELIMITER ;
CREATE VIEW `v*/;--` AS SELECT id, `c*/;-- d` FROM `t*/1;--x`;
CREATE VIEW a_over AS SELECT id FROM `v*/;--` WHERE id > 1;
CREATE VIEW a_joined AS SELECT b.id, o.id AS other FROM base b JOIN a_over o ON o.id = b.id;
