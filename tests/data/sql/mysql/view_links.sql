-- Views are linked to the stored functions they call and to the views they
-- read, so that the script creates those first. A name in a string or a
-- comment, after a "." or before "(" without being a stored function links
-- nothing.
CREATE TABLE t (id int NOT NULL, label varchar(20), PRIMARY KEY (id));
DELIMITER //
CREATE FUNCTION z_twice(x int) RETURNS int DETERMINISTIC RETURN x * 2//
CREATE PROCEDURE z_base() SELECT 1//
DELIMITER ;
CREATE VIEW z_base AS SELECT id, z_twice(id) AS doubled FROM t;
CREATE VIEW a_top AS
  SELECT `z_base`.`id`, upper('z_twice(1)') AS s, other.z_twice(2) AS q /* z_twice(3) */
  FROM `z_base` WHERE z_base.doubled > 2;
CREATE VIEW m_plain AS SELECT concat(label, 'z_base') AS c, t.id AS z_twice FROM t;
