/*
 * Schema version 4: opening a large fiscal year in the entries browser and in the accounts
 * browser reads a few rows instead of every line of the year.
 *
 * asirev lists what pReenum has to look at again: the entries whose number, date,
 * description, year or fingerprint changed, and the entries whose lines changed, since it last
 * checked the year. The triggers below only ever insert into it (two operators saving at once
 * never touch the same row); pReenum checks the rows it reads and deletes exactly those, so a
 * row that another transaction commits meanwhile waits for the next check. An already checked
 * year without rows costs two index probes to confirm.
 *   tipo 0  the whole year must be checked (companies that had entries before this version)
 *   tipo 1  entry idasi changed (asientos): its number slot num and its fingerprint
 *   tipo 2  a line of entry idasi changed (pases): its fingerprint
 * pReenum's own writes are not listed: it sets the transaction's context variable
 * KESH_REENUM while it writes, and what it writes is what it has just checked.
 *
 * pases_apertura finds the year's opening lines (nconcep -1) for the accounts list, which
 * takes the rest of its sums from saldosmes.
 */

create table asirev (
  idej   integer default 0 not null,
  idasi  integer default 0 not null,
  num    integer,
  tipo   smallint default 0 not null
);
create index asirev_idej on asirev (idej);
create index pases_apertura on pases (nconcep, idej);
commit;

set term ^ ;

create or alter trigger asientos_asirev for asientos active after insert or update or delete position 10 as
begin
  if (rdb$get_context('USER_TRANSACTION', 'KESH_REENUM') is not null) then exit;
  if (updating) then
    if (new.id = old.id and new.idej = old.idej and new.num is not distinct from old.num
        and new.fecha is not distinct from old.fecha and new.descrip is not distinct from old.descrip
        and new.npas is not distinct from old.npas and new.checksum is not distinct from old.checksum
        and new.importe is not distinct from old.importe) then
      exit;
  if (deleting or (updating and (new.id <> old.id or new.idej <> old.idej
                                 or new.num is distinct from old.num))) then
    insert into asirev (idej, idasi, num, tipo) values (old.idej, old.id, old.num, 1);
  if (inserting or updating) then
    insert into asirev (idej, idasi, num, tipo) values (new.idej, new.id, new.num, 1);
end^

create or alter trigger pases_asirev for pases active after insert or update or delete position 11 as
begin
  if (updating) then
    if (new.idasi = old.idasi and new.idej = old.idej and new.id = old.id and new.dh = old.dh
        and new.importe = old.importe) then
      exit;
  if (deleting or (updating and (new.idasi <> old.idasi or new.idej <> old.idej))) then
    insert into asirev (idej, idasi, num, tipo) values (old.idej, old.idasi, null, 2);
  if (inserting or updating) then
    insert into asirev (idej, idasi, num, tipo) values (new.idej, new.idasi, null, 2);
end^

set term ; ^
commit;

/* Years that already have entries are checked whole once. */
insert into asirev (idej, idasi, num, tipo)
  select distinct idej, 0, null, 0 from asientos;
commit;
