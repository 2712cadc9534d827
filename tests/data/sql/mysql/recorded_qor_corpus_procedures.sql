-- What SHOW CREATE PROCEDURE returns on 10.11.19-MariaDB-0+deb12u1 for database qor_corpus,
-- recorded by scripts/record-mysql-corpus.sh; do not edit.
DELIMITER $$
CREATE DEFINER=`qor_record`@`127.0.0.1` PROCEDURE `p_no_characteristics`()
BEGIN
  # a comment with ' and $$ in it
  SELECT 1;
END
$$
CREATE DEFINER=`qor_record`@`127.0.0.1` PROCEDURE `p_order_count`(IN cust INT, OUT n INT, INOUT total DECIMAL(14,2))
    READS SQL DATA
    SQL SECURITY INVOKER
    COMMENT 'How many orders; it''s "quoted"'
BEGIN
  SELECT count(*), total + coalesce(sum(amount), 0) INTO n, total
  FROM orders WHERE customer_id = cust;
END
$$
CREATE DEFINER=`qor_record`@`127.0.0.1` PROCEDURE `twice`(INOUT x int)
SET x = x * 2
$$
DELIMITER ;
