-- Hand-written scripts in the older style: unquoted names folded to upper
-- case, keys after the columns, TYPE=HEAP, defaults without parentheses.
-- qor: case=insensitive
# a hash comment, then the usual dump header
SET FOREIGN_KEY_CHECKS=0;
SET NAMES utf8;
SET CHARACTER SET latin1;
SET @saved = @@sql_mode, sql_mode = 'ANSI';
USE shop;

CREATE TABLE IF NOT EXISTS `Orders` (
  id INTEGER NOT NULL AUTO_INCREMENT,
  customer INT UNSIGNED DEFAULT '0' NOT NULL,
  flag BOOLEAN,
  price DOUBLE PRECISION(10,2),
  created TIMESTAMP DEFAULT CURRENT_TIMESTAMP ON UPDATE CURRENT_TIMESTAMP,
  delta INT DEFAULT -1,
  gone INT DEFAULT NULL,
  kind ENUM('a','b''c') DEFAULT 'a',
  PRIMARY KEY (id),
  KEY customer_idx (customer),
  UNIQUE KEY uq_created USING BTREE (created),
  CONSTRAINT fk_customer FOREIGN KEY (customer) REFERENCES customers ON DELETE CASCADE
) TYPE=HEAP COMMENT='orders' AUTO_INCREMENT=10;

CREATE TABLE customers (
  id INT NOT NULL PRIMARY KEY,
  name VARCHAR(40) NOT NULL,
  UNIQUE uq_name (name)
) ENGINE=InnoDB CHARACTER SET = utf8 COLLATE = utf8_bin;

CREATE TABLE lines (
  order_id INT NOT NULL REFERENCES `Orders` (id),
  customer INT NOT NULL,
  FOREIGN KEY (customer) REFERENCES customers
);

CREATE INDEX ix_lines_customer ON lines (customer);
CREATE UNIQUE INDEX ix_lines_order USING HASH ON lines (order_id DESC);
ALTER TABLE lines ADD INDEX ix_both (order_id, customer), AUTO_INCREMENT = 5,
  MODIFY COLUMN customer BIGINT NOT NULL COMMENT 'who';

INSERT INTO lines VALUES (1, 2), (3, 4);
INSERT IGNORE INTO lines VALUES (5, 6);
UPDATE lines SET customer = 1 WHERE order_id = 1;
DELETE FROM lines WHERE order_id = 3;
LOCK TABLES lines WRITE;
UNLOCK TABLES;
COMMIT;

CREATE TABLE scratch (a INT);
DROP TABLE IF EXISTS scratch;
DROP VIEW IF EXISTS nothing_here;

CREATE VIEW v_orders (order_id, total) AS SELECT id, price FROM `Orders`;

DELIMITER //
CREATE TRIGGER orders_bi BEFORE INSERT ON `Orders` FOR EACH ROW
BEGIN
  SET NEW.delta = 0;
END//
CREATE PROCEDURE count_orders(IN cust INT, OUT n INT)
  SQL SECURITY INVOKER
BEGIN
  SELECT COUNT(*) INTO n FROM `Orders` WHERE customer = cust;
END//
DELIMITER ;

-- Backticked names are never words of the grammar.
CREATE TABLE `words` (`period` int, `check` int, `key` int, `comment` varchar(5) COMMENT 'c');
ALTER TABLE words DROP COLUMN `key`, ADD COLUMN added date NULL;

CREATE DOMAIN d_money AS NUMERIC(12,2);
GRANT SELECT ON lines TO clerk;
DROP SOMETHING odd;
CREATE TABLE broken (a int, b frobnicate(3), c int);
