-- qor: versions=st_Firebird_40
-- DECFLOAT keeps its 34 digits unless a precision is given; the time zone
-- forms of Firebird 4.
CREATE TABLE DF (A DECFLOAT, B DECFLOAT(16), C TIME WITH TIME ZONE, D TIMESTAMP WITHOUT TIME ZONE);
