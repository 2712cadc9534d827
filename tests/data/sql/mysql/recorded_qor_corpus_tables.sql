-- What SHOW CREATE TABLE returns on 10.11.19-MariaDB-0+deb12u1 for database qor_corpus,
-- recorded by scripts/record-mysql-corpus.sh; do not edit.
DELIMITER $$
CREATE TABLE `audit_log` (
  `id` int(11) NOT NULL AUTO_INCREMENT,
  `what` varchar(200) NOT NULL,
  `at` datetime(6) NOT NULL DEFAULT current_timestamp(6),
  PRIMARY KEY (`id`)
) ENGINE=Aria DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci PAGE_CHECKSUM=1 TRANSACTIONAL=1
$$
CREATE TABLE `customers` (
  `id` int(10) unsigned NOT NULL AUTO_INCREMENT,
  `code` char(8) CHARACTER SET ascii COLLATE ascii_bin NOT NULL,
  `name` varchar(60) NOT NULL DEFAULT 'O''Brien' COMMENT 'Shown on invoices',
  `path` varchar(100) DEFAULT 'C:\\data\\in',
  `created` timestamp NOT NULL DEFAULT current_timestamp(),
  `updated` timestamp(3) NOT NULL DEFAULT current_timestamp(3) ON UPDATE current_timestamp(3),
  `token` uuid NOT NULL DEFAULT uuid(),
  `last_ip` inet6 DEFAULT NULL,
  `v4` inet4 DEFAULT NULL,
  `flags` bit(3) NOT NULL DEFAULT b'101',
  `rating` tinyint(3) unsigned zerofill DEFAULT 007,
  `balance` decimal(12,2) NOT NULL DEFAULT -1.50,
  `level` enum('low','mid','it''s high') NOT NULL DEFAULT 'low',
  `tags` set('a','b','c') DEFAULT 'a,b',
  `prefs` longtext CHARACTER SET utf8mb4 COLLATE utf8mb4_bin DEFAULT NULL CHECK (json_valid(`prefs`)),
  `note` text DEFAULT NULL,
  `secret` varchar(20) INVISIBLE DEFAULT NULL,
  `full_name` varchar(130) GENERATED ALWAYS AS (concat(convert(`code` using utf8mb4),' ',`name`)) VIRTUAL,
  `name_len` int(11) GENERATED ALWAYS AS (char_length(`name`)) STORED,
  PRIMARY KEY (`id`) USING BTREE,
  UNIQUE KEY `uq_customers_code` (`code`),
  KEY `ix_customers_name` (`name`(20),`created` DESC) COMMENT 'Lookup by name',
  FULLTEXT KEY `ft_customers_note` (`note`),
  CONSTRAINT `chk_balance` CHECK (`balance` >= -1000),
  CONSTRAINT `CONSTRAINT_1` CHECK (`rating` <= 100)
) ENGINE=InnoDB AUTO_INCREMENT=1001 DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci COMMENT='Who buys: "quoted" and \\backslashed\\'
$$
CREATE TABLE `legacy` (
  `id` mediumint(8) unsigned NOT NULL,
  `y` year(4) DEFAULT NULL,
  `t` time(2) DEFAULT '00:00:00.00',
  `dt` datetime DEFAULT '2000-01-01 00:00:00',
  `f` float(7,3) DEFAULT NULL,
  `d` double DEFAULT NULL,
  `r` double DEFAULT NULL,
  `nc` char(4) CHARACTER SET utf8mb3 COLLATE utf8mb3_general_ci DEFAULT NULL,
  `bn` binary(16) DEFAULT NULL,
  `tb` tinyblob DEFAULT NULL,
  `mb` mediumblob DEFAULT NULL,
  `lb` longblob DEFAULT NULL,
  `tt` tinytext DEFAULT NULL,
  `mt` mediumtext DEFAULT NULL,
  `lt` longtext DEFAULT NULL,
  `b` tinyint(1) DEFAULT NULL,
  PRIMARY KEY (`id`)
) ENGINE=MyISAM DEFAULT CHARSET=latin1 COLLATE=latin1_swedish_ci PACK_KEYS=1 CHECKSUM=1 DELAY_KEY_WRITE=1 ROW_FORMAT=FIXED
$$
CREATE TABLE `Odd Names` (
  `select` int(11) NOT NULL,
  `back``tick` varchar(10) DEFAULT NULL,
  `Mixed Case` int(11) DEFAULT NULL,
  PRIMARY KEY (`select`),
  CONSTRAINT `CONSTRAINT_1` CHECK (`select` > 0)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
$$
CREATE TABLE `orders` (
  `id` bigint(20) NOT NULL AUTO_INCREMENT,
  `customer_id` int(10) unsigned DEFAULT NULL,
  `amount` decimal(12,2) NOT NULL DEFAULT 0.00 CHECK (`amount` >= 0),
  `qty` smallint(6) NOT NULL DEFAULT 1,
  `placed` date NOT NULL DEFAULT curdate(),
  `due` date DEFAULT (curdate() + interval 30 day),
  `total` decimal(14,2) GENERATED ALWAYS AS (`amount` * `qty`) STORED,
  PRIMARY KEY (`id`),
  KEY `ix_orders_customer` (`customer_id`),
  CONSTRAINT `fk_orders_customer` FOREIGN KEY (`customer_id`) REFERENCES `customers` (`id`) ON DELETE SET NULL ON UPDATE CASCADE,
  CONSTRAINT `CONSTRAINT_1` CHECK (`qty` > 0)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
$$
CREATE TABLE `order_lines` (
  `order_id` bigint(20) NOT NULL,
  `line_no` int(11) NOT NULL,
  `product` varchar(40) NOT NULL,
  `parent_order` bigint(20) DEFAULT NULL,
  `parent_line` int(11) DEFAULT NULL,
  PRIMARY KEY (`order_id`,`line_no`),
  KEY `ix_lines_parent` (`parent_order`,`parent_line`),
  CONSTRAINT `fk_lines_order` FOREIGN KEY (`order_id`) REFERENCES `orders` (`id`) ON DELETE CASCADE,
  CONSTRAINT `fk_lines_parent` FOREIGN KEY (`parent_order`, `parent_line`) REFERENCES `order_lines` (`order_id`, `line_no`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
$$
CREATE TABLE `places` (
  `id` int(11) NOT NULL,
  `pos` point NOT NULL,
  `area` polygon DEFAULT NULL,
  `shape` geometry DEFAULT NULL,
  PRIMARY KEY (`id`),
  SPATIAL KEY `sp_places_pos` (`pos`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
$$
CREATE TABLE `prices` (
  `id` int(11) NOT NULL,
  `price` decimal(10,2) NOT NULL,
  PRIMARY KEY (`id`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci WITH SYSTEM VERSIONING
$$
CREATE TABLE `readings` (
  `id` int(11) NOT NULL,
  `taken` date NOT NULL,
  PRIMARY KEY (`id`,`taken`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
 PARTITION BY RANGE (year(`taken`))
(PARTITION `p2020` VALUES LESS THAN (2021) ENGINE = InnoDB,
 PARTITION `pmax` VALUES LESS THAN MAXVALUE ENGINE = InnoDB)
$$
CREATE TABLE `sessions` (
  `sid` char(32) NOT NULL,
  `data` varbinary(255) DEFAULT NULL,
  PRIMARY KEY (`sid`) USING HASH,
  KEY `ix_sessions_data` (`data`) USING BTREE
) ENGINE=MEMORY DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci MAX_ROWS=1000
$$
DELIMITER ;
