-- What SHOW CREATE TRIGGER returns on 10.11.19-MariaDB-0+deb12u1 for database qor_corpus,
-- recorded by scripts/record-mysql-corpus.sh; do not edit.
DELIMITER $$
CREATE DEFINER=`qor_record`@`127.0.0.1` TRIGGER customers_bd BEFORE DELETE ON customers FOR EACH ROW
  DELETE FROM orders WHERE customer_id = OLD.id
$$
CREATE DEFINER=`qor_record`@`127.0.0.1` TRIGGER orders_au AFTER UPDATE ON orders FOR EACH ROW
checked: BEGIN
  IF NEW.amount = OLD.amount THEN
    LEAVE checked;
  END IF;
  INSERT INTO audit_log (what) VALUES ('amount changed');
END
$$
CREATE DEFINER=`qor_record`@`127.0.0.1` TRIGGER orders_bi BEFORE INSERT ON orders FOR EACH ROW
SET NEW.qty = greatest(NEW.qty, 1)
$$
CREATE DEFINER=`qor_record`@`127.0.0.1` TRIGGER orders_bi_log BEFORE INSERT ON orders FOR EACH ROW
BEGIN
  INSERT INTO audit_log (what) VALUES (concat('order for ', NEW.customer_id, ' $$ ;'));
END
$$
DELIMITER ;
