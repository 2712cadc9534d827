-- Views that call stored functions, beside tests/data/extract/mysql/dump_schema.sql.
CREATE VIEW a_calls AS SELECT `id`, `f*/;--`(`id`) AS f FROM `v*/;--`;
CREATE VIEW b_calls AS SELECT id, is_big(qty) AS big FROM base;
