/*
 * Per-month movement of every account, kept current by a trigger on pases, so the trial
 * balance and the balance read a few thousand rows instead of every line of the year.
 *
 * The trigger only ever inserts (a delta row per line written, changed or removed): two
 * users saving entries on the same account at once never update the same row, so they never
 * wait for or conflict with each other. pCompactSaldosMes folds the deltas of each
 * (year, account, month) into one row; it deletes exactly the rows its snapshot summed, so a
 * delta committed meanwhile by someone else survives untouched and no amount is lost or
 * counted twice. Either way the sums of a month always equal the sums of its lines.
 * `mes` is the month index (January 1900 = 1); a line without date counts in month 0.
 */

create table saldosmes (
  idej   integer default 0 not null,
  cod    varchar(20) default '' not null,
  mes    integer default 0 not null,
  debe   numeric(18,2) default 0 not null,
  haber  numeric(18,2) default 0 not null
);
create index saldosmes_mes_cod on saldosmes (mes, cod);
create index saldosmes_cod on saldosmes (cod);
commit;

set term ^ ;

create or alter trigger pases_saldosmes for pases active after insert or update or delete position 10 as
begin
  if (updating) then
    if (new.idej = old.idej and new.cod = old.cod and new.dh = old.dh
        and new.importe = old.importe
        and coalesce(new.fecha, date '1899-12-30') = coalesce(old.fecha, date '1899-12-30')) then
      exit;
  if (updating or deleting) then
    insert into saldosmes (idej, cod, mes, debe, haber)
      values (old.idej, old.cod,
              coalesce(extract(year from old.fecha) * 12 + extract(month from old.fecha) - 22800, 0),
              iif(old.dh = 'D', -old.importe, 0), iif(old.dh = 'D', 0, -old.importe));
  if (inserting or updating) then
    insert into saldosmes (idej, cod, mes, debe, haber)
      values (new.idej, new.cod,
              coalesce(extract(year from new.fecha) * 12 + extract(month from new.fecha) - 22800, 0),
              iif(new.dh = 'D', new.importe, 0), iif(new.dh = 'D', 0, new.importe));
end^

set term ; ^
commit;

/* Companies that already have lines start with their sums. */
insert into saldosmes (idej, cod, mes, debe, haber)
  select idej, cod, coalesce(extract(year from fecha) * 12 + extract(month from fecha) - 22800, 0),
         sum(iif(dh = 'D', importe, 0)), sum(iif(dh = 'D', 0, importe))
    from pases
    group by 1, 2, 3;
commit;
