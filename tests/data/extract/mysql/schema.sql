-- What the MySQL extractor's live tests load into the suite's MariaDB
-- server after scripts/mysql-corpus-schema.sql (every table, key, column,
-- view, trigger and routine form the MySQL parser reads): tables whose
-- names need quoting (a reserved word, a blank, a back quote), a view of
-- each algorithm clause with string functions of a character set, a view
-- over a view, a trigger on a reserved-word table, routines whose names or
-- bodies need care ("$$" in a name, a reserved word as name) and a function
-- with a character set on its result, and a view over a stored function
-- (which the script must create after the function). Run with the mariadb
-- client.

CREATE TABLE `order` (
  `key` int NOT NULL,
  `desc` varchar(30) CHARACTER SET latin1 DEFAULT NULL,
  label varchar(40) DEFAULT 'it''s $$ here',
  PRIMARY KEY (`key`),
  KEY `index` (`desc`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE `line item` (
  id int NOT NULL,
  order_key int NOT NULL,
  PRIMARY KEY (id),
  CONSTRAINT `fk line order` FOREIGN KEY (order_key) REFERENCES `order` (`key`)
) ENGINE=InnoDB;

CREATE TABLE `tick``ed` (
  id int NOT NULL,
  PRIMARY KEY (id)
) ENGINE=InnoDB;

CREATE ALGORITHM=UNDEFINED VIEW v_charsets AS
  SELECT c.id, convert(c.name USING latin1) AS latin_name, _utf8mb4'x' AS tag,
         cast(c.code AS char(8) charset utf8mb4) AS code_text, 'it''s $$ here' AS marker
  FROM customers c;

CREATE VIEW v_top_customers AS
  SELECT id, total FROM v_customer_totals WHERE total > 1000;

CREATE VIEW `v order keys` AS SELECT `key`, `desc` FROM `order`;

DELIMITER //

CREATE TRIGGER `order_bi` BEFORE INSERT ON `order` FOR EACH ROW
BEGIN
  SET NEW.`desc` = convert(upper(NEW.`desc`) USING latin1);
END//

CREATE PROCEDURE `select`()
BEGIN
  SELECT `key` FROM `order`;
END//

CREATE FUNCTION f_latin(s varchar(20)) RETURNS varchar(20) CHARSET latin1
  DETERMINISTIC
  RETURN convert(s USING latin1)//

CREATE FUNCTION f_dollar(x int) RETURNS int
  DETERMINISTIC
BEGIN
  DECLARE twice$$ int DEFAULT x * 2;
  RETURN twice$$;
END//

DELIMITER ;

CREATE VIEW v_doubled AS SELECT id, f_dollar(id) AS doubled FROM `tick``ed`;
