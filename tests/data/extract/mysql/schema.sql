-- The database the MySQL extractor's live tests load into the suite's
-- MariaDB server (mariadb client, DELIMITER lines): the table forms the
-- MySQL parser reads, tables whose names need quoting (a reserved word, a
-- blank, a back quote), views of every algorithm and a view over a view,
-- triggers of one statement and with BEGIN, procedures and functions (a
-- function and a procedure of one name), string functions with a character
-- set, and "$$" inside literals and names.

CREATE TABLE customers (
  id int unsigned NOT NULL AUTO_INCREMENT,
  code char(8) CHARACTER SET ascii COLLATE ascii_bin NOT NULL,
  name varchar(60) NOT NULL DEFAULT 'O''Brien' COMMENT 'Shown on invoices',
  path varchar(100) DEFAULT 'C:\\data\\in',
  created timestamp NOT NULL DEFAULT current_timestamp(),
  updated timestamp(3) NOT NULL DEFAULT current_timestamp(3) ON UPDATE current_timestamp(3),
  token uuid NOT NULL DEFAULT uuid(),
  last_ip inet6 DEFAULT NULL,
  v4 inet4 DEFAULT NULL,
  flags bit(3) NOT NULL DEFAULT b'101',
  rating tinyint(3) unsigned zerofill DEFAULT 7,
  balance decimal(12,2) NOT NULL DEFAULT -1.50,
  level enum('low','mid','it''s high') NOT NULL DEFAULT 'low',
  tags set('a','b','c') DEFAULT 'a,b',
  prefs json DEFAULT NULL,
  note text,
  secret varchar(20) INVISIBLE DEFAULT NULL,
  full_name varchar(130) GENERATED ALWAYS AS (concat(code, ' ', name)) VIRTUAL,
  name_len int GENERATED ALWAYS AS (char_length(name)) STORED,
  PRIMARY KEY (id) USING BTREE,
  UNIQUE KEY uq_customers_code (code),
  KEY ix_customers_name (name(20), created DESC) COMMENT 'Lookup by name',
  FULLTEXT KEY ft_customers_note (note),
  CONSTRAINT chk_balance CHECK (balance >= -1000),
  CHECK (rating <= 100)
) ENGINE=InnoDB AUTO_INCREMENT=1001 DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci
  COMMENT='Who buys: "quoted" and \\backslashed\\';

CREATE TABLE orders (
  id bigint NOT NULL AUTO_INCREMENT,
  customer_id int unsigned DEFAULT NULL,
  amount decimal(12,2) NOT NULL DEFAULT 0.00 CHECK (amount >= 0),
  qty smallint NOT NULL DEFAULT 1,
  placed date NOT NULL DEFAULT (curdate()),
  due date DEFAULT (curdate() + interval 30 day),
  total decimal(14,2) AS (amount * qty) PERSISTENT,
  PRIMARY KEY (id),
  KEY ix_orders_customer (customer_id),
  CONSTRAINT fk_orders_customer FOREIGN KEY (customer_id) REFERENCES customers (id)
    ON DELETE SET NULL ON UPDATE CASCADE,
  CHECK (qty > 0)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE order_lines (
  order_id bigint NOT NULL,
  line_no int NOT NULL,
  product varchar(40) NOT NULL,
  parent_order bigint DEFAULT NULL,
  parent_line int DEFAULT NULL,
  PRIMARY KEY (order_id, line_no),
  KEY ix_lines_parent (parent_order, parent_line),
  CONSTRAINT fk_lines_order FOREIGN KEY (order_id) REFERENCES orders (id) ON DELETE CASCADE,
  CONSTRAINT fk_lines_parent FOREIGN KEY (parent_order, parent_line)
    REFERENCES order_lines (order_id, line_no) ON DELETE RESTRICT
) ENGINE=InnoDB;

CREATE TABLE places (
  id int NOT NULL,
  pos point NOT NULL,
  area polygon DEFAULT NULL,
  shape geometry DEFAULT NULL,
  PRIMARY KEY (id),
  SPATIAL KEY sp_places_pos (pos)
) ENGINE=InnoDB;

CREATE TABLE sessions (
  sid char(32) NOT NULL,
  data varbinary(255) DEFAULT NULL,
  PRIMARY KEY (sid) USING HASH,
  KEY ix_sessions_data (data) USING BTREE
) ENGINE=MEMORY MAX_ROWS=1000;

CREATE TABLE legacy (
  id mediumint(8) unsigned NOT NULL,
  y year DEFAULT NULL,
  t time(2) DEFAULT '00:00:00.00',
  dt datetime DEFAULT '2000-01-01 00:00:00',
  f float(7,3) DEFAULT NULL,
  d double DEFAULT NULL,
  r real DEFAULT NULL,
  nc national char(4) DEFAULT NULL,
  bn binary(16) DEFAULT NULL,
  tb tinyblob,
  mb mediumblob,
  lb longblob,
  tt tinytext,
  mt mediumtext,
  lt longtext,
  b boolean DEFAULT NULL,
  PRIMARY KEY (id)
) ENGINE=MyISAM DEFAULT CHARSET=latin1 PACK_KEYS=1 ROW_FORMAT=FIXED CHECKSUM=1
  DELAY_KEY_WRITE=1;

CREATE TABLE audit_log (
  id int NOT NULL AUTO_INCREMENT,
  what varchar(200) NOT NULL,
  at datetime(6) NOT NULL DEFAULT current_timestamp(6),
  PRIMARY KEY (id)
) ENGINE=Aria PAGE_CHECKSUM=1 TRANSACTIONAL=1;

CREATE TABLE `Odd Names` (
  `select` int NOT NULL,
  `back``tick` varchar(10) DEFAULT NULL,
  `Mixed Case` int DEFAULT NULL,
  PRIMARY KEY (`select`),
  CHECK (`select` > 0)
) ENGINE=InnoDB;

CREATE TABLE prices (
  id int NOT NULL,
  price decimal(10,2) NOT NULL,
  PRIMARY KEY (id)
) ENGINE=InnoDB WITH SYSTEM VERSIONING;

CREATE TABLE readings (
  id int NOT NULL,
  taken date NOT NULL,
  PRIMARY KEY (id, taken)
) ENGINE=InnoDB
PARTITION BY RANGE (year(taken)) (
  PARTITION p2020 VALUES LESS THAN (2021),
  PARTITION pmax VALUES LESS THAN MAXVALUE
);

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

CREATE VIEW v_undefined AS SELECT id, name FROM customers;

CREATE ALGORITHM=MERGE SQL SECURITY INVOKER VIEW v_big_orders (order_id, amount) AS
  SELECT id, amount FROM orders WHERE amount > 100 WITH CASCADED CHECK OPTION;

CREATE ALGORITHM=TEMPTABLE VIEW v_distinct_places AS SELECT DISTINCT id FROM places;

CREATE ALGORITHM=UNDEFINED VIEW v_customer_totals AS
  SELECT c.id, c.name, sum(o.amount) AS total, 'it''s $$ here' AS marker,
         convert(c.name USING latin1) AS latin_name, _utf8mb4'x' AS tag,
         cast(c.code AS char(8) charset utf8mb4) AS code_text
  FROM customers c LEFT JOIN orders o ON o.customer_id = c.id
  GROUP BY c.id, c.name, c.code;

CREATE VIEW v_top_customers AS
  SELECT id, total FROM v_customer_totals WHERE total > 1000;

CREATE VIEW `v order keys` AS SELECT `key`, `desc` FROM `order`;

DELIMITER //

CREATE TRIGGER orders_bi BEFORE INSERT ON orders FOR EACH ROW
SET NEW.qty = greatest(NEW.qty, 1)//

CREATE TRIGGER orders_au AFTER UPDATE ON orders FOR EACH ROW
checked: BEGIN
  IF NEW.amount = OLD.amount THEN
    LEAVE checked;
  END IF;
  INSERT INTO audit_log (what) VALUES (concat('amount $$ changed; ', NEW.id));
END//

CREATE TRIGGER customers_bd BEFORE DELETE ON customers FOR EACH ROW
  DELETE FROM orders WHERE customer_id = OLD.id//

CREATE TRIGGER `order_bi` BEFORE INSERT ON `order` FOR EACH ROW
BEGIN
  SET NEW.`desc` = convert(upper(NEW.`desc`) USING latin1);
END//

CREATE PROCEDURE p_order_count(IN cust INT, OUT n INT, INOUT total DECIMAL(14,2))
  READS SQL DATA
  SQL SECURITY INVOKER
  COMMENT 'How many orders; it''s "quoted"'
BEGIN
  SELECT count(*), total + coalesce(sum(amount), 0) INTO n, total
  FROM orders WHERE customer_id = cust;
END//

CREATE FUNCTION f_label(p_code varchar(8) CHARSET ascii, p_level int)
  RETURNS varchar(20) CHARSET utf8mb4 COLLATE utf8mb4_unicode_ci
  DETERMINISTIC
  NO SQL
BEGIN
  RETURN concat(p_code, ' $$ ', p_level, '; done');
END//

CREATE FUNCTION twice(x int) RETURNS int
  DETERMINISTIC
  RETURN x * 2//

CREATE PROCEDURE twice(INOUT x int)
  CONTAINS SQL
  SET x = x * 2//

CREATE PROCEDURE `select`()
BEGIN
  # a comment with ' and $$ in it
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

CREATE FUNCTION f_modifies(a int) RETURNS int
  NOT DETERMINISTIC
  MODIFIES SQL DATA
  SQL SECURITY DEFINER
BEGIN
  INSERT INTO audit_log (what) VALUES ('f_modifies');
  RETURN a;
END//

DELIMITER ;
