-- What SHOW CREATE VIEW returns on 10.11.19-MariaDB-0+deb12u1 for database qor_corpus,
-- recorded by scripts/record-mysql-corpus.sh; do not edit.
DELIMITER $$
CREATE ALGORITHM=MERGE DEFINER=`qor_record`@`127.0.0.1` SQL SECURITY INVOKER VIEW `v_big_orders` AS select `orders`.`id` AS `order_id`,`orders`.`amount` AS `amount` from `orders` where `orders`.`amount` > 100 WITH CASCADED CHECK OPTION
$$
CREATE ALGORITHM=UNDEFINED DEFINER=`qor_record`@`127.0.0.1` SQL SECURITY DEFINER VIEW `v_customer_totals` AS select `c`.`id` AS `id`,`c`.`name` AS `name`,sum(`o`.`amount`) AS `total`,'it\'s $$ here' AS `marker` from (`customers` `c` left join `orders` `o` on(`o`.`customer_id` = `c`.`id`)) group by `c`.`id`,`c`.`name`
$$
CREATE ALGORITHM=TEMPTABLE DEFINER=`qor_record`@`127.0.0.1` SQL SECURITY DEFINER VIEW `v_distinct_places` AS select distinct `places`.`id` AS `id` from `places`
$$
DELIMITER ;
