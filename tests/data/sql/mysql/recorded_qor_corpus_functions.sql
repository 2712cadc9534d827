-- What SHOW CREATE FUNCTION returns on 10.11.19-MariaDB-0+deb12u1 for database qor_corpus,
-- recorded by scripts/record-mysql-corpus.sh; do not edit.
DELIMITER $$
CREATE DEFINER=`qor_record`@`127.0.0.1` FUNCTION `f_label`(p_code varchar(8) CHARSET ascii, p_level int) RETURNS varchar(20) CHARSET utf8mb4 COLLATE utf8mb4_unicode_ci
    NO SQL
    DETERMINISTIC
BEGIN
  RETURN concat(p_code, ' $$ ', p_level, '; done');
END
$$
CREATE DEFINER=`qor_record`@`127.0.0.1` FUNCTION `f_modifies`(a int) RETURNS int(11)
    MODIFIES SQL DATA
BEGIN
  INSERT INTO audit_log (what) VALUES ('f_modifies');
  RETURN a;
END
$$
CREATE DEFINER=`qor_record`@`127.0.0.1` FUNCTION `twice`(x int) RETURNS int(11)
    DETERMINISTIC
RETURN x * 2
$$
DELIMITER ;
