/*
 * Schema version 2: the highest entry number of a fiscal year in one index probe.
 * A new entry takes max(num) + 1 of its year; with 100 000 entries in a year an ascending
 * index makes that a walk over the whole year on every save.
 */
create descending index asientos_ej_num_desc on asientos (idej, num);
commit;
