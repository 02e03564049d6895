/*
 * Journal entries: the entry list, its lines, the entries whose lines do not add up, the next
 * entry number and renumbering. Re-runnable: every object is `create or alter`.
 *
 * These procedures run over whole fiscal years of 100 000 entries and more: the lines are
 * read by natural scan where every line of a year is needed (a walk over their big index with
 * the small per-connection page cache costs several times a scan), the entries by the
 * (idej, num) index, which follows the order they were stored in.
 */
set term ^ ;

/*
 * The number the next entry of year EJ gets: one above the highest number of the year, 1 for
 * an empty year. Callers that insert hold the year's row locked (select ... with lock on
 * ejerc) so two operators never get the same number; the descending index on (idej, num)
 * makes this one index probe however large the year is.
 */
create or alter procedure PSIGUIENTEASIENTO (ej integer)
returns (numasi integer)
as
begin
  numasi = null;
  select first 1 num from asientos
    where idej = :ej
    order by idej desc, num desc
    into :numasi;
  numasi = coalesce(numasi, 0) + 1;
  suspend;
end^

/*
 * The entries of year EJ in number order.
 *   TIPO: 0 all, 1 purchase vouchers (clase 1, 3, 4), 2 sales vouchers (2, 5, 6), 3 generic
 *         entries (clase 0, with the opening and closing entries);
 *   NADA: unused, always 0;
 *   MES:  0 all months, 1..12 only entries dated in that month;
 *   IMPO: amount with two decimals and "."; when not zero only entries whose total equals it.
 * IMPORT is the stored debit total of the fingerprint. MARC is the user's mark 0..3, replaced
 * by a warning state: 4 the entry has fewer than two lines, 5 its date lies outside the year,
 * 6 it carries no amount.
 */
create or alter procedure pselasientos (ej integer, tipo integer, nada integer, mes integer,
                                        impo varchar(24))
returns (id integer, num integer, descrip varchar(60), fecha date, npas integer, idej integer,
         import numeric(18,2), clase varchar(10), clas integer, nfact varchar(20),
         idtip integer, idx integer, marc integer, coleg integer, nrec integer)
as
declare variable importe numeric(18,2);
declare variable f1 date;
declare variable f2 date;
declare variable idrefun integer;
declare variable idcierre integer;
declare variable generico varchar(10);
declare variable tipocomp varchar(5);
declare variable nrocomp varchar(12);
begin
  importe = cast(coalesce(nullif(trim(impo), ''), '0') as numeric(18,2));
  select fech1, fech2, idrefun, idcierre from ejerc where id = :ej
    into :f1, :f2, :idrefun, :idcierre;
  /* Written as bytes: the update scripts run without a connection character set. */
  generico = 'Gen' || cast(x'C3A9' as varchar(1) character set utf8) || 'rico';
  /* The kind text and the warning marks are computed by the select itself: a year of
     100 000 entries is listed on every opening, so the per-row procedure work is kept to
     the voucher number of voucher entries. The walk follows the (idej, num) index. */
  for select a.id, a.num, a.descrip, a.fecha, coalesce(a.npas, 0), a.idej,
             coalesce(a.importe, 0),
             case
               when a.id = :idrefun then 'Refundic.'
               when a.id = :idcierre then 'Cierre'
               when coalesce(a.idaux, 0) < 0 then 'Apertura'
               when a.clase = 1 then 'Fact.Comp.'
               when a.clase = 2 then 'Fact.Vta.'
               when a.clase = 3 then 'NC Compra'
               when a.clase = 4 then 'ND Compra'
               when a.clase = 5 then 'NC Venta'
               when a.clase = 6 then 'ND Venta'
               when coalesce(a.idtip, 0) > 0 then 'As.Tipo'
               else :generico
             end,
             coalesce(a.clase, 0), coalesce(a.idtip, 0), coalesce(a.idaux, 0),
             case
               when coalesce(a.npas, 0) < 2 then 4
               when a.fecha < :f1 or a.fecha > :f2 then 5
               when coalesce(a.importe, 0) = 0 then 6
               else coalesce(a.marca, 0)
             end,
             coalesce(a.colegio, 0), coalesce(a.nrec, 0)
        from asientos a
        where a.idej = :ej
          and (:tipo = 0
               or (:tipo = 1 and a.clase in (1, 3, 4))
               or (:tipo = 2 and a.clase in (2, 5, 6))
               or (:tipo = 3 and a.clase = 0))
          and (:mes = 0 or extract(month from a.fecha) = :mes)
          and (:importe = 0 or a.importe = :importe)
        order by a.idej, a.num
        into :id, :num, :descrip, :fecha, :npas, :idej, :import, :clase, :clas, :idtip, :idx,
             :marc, :coleg, :nrec
  do
  begin
    nfact = '';
    if (clas between 1 and 6 and idx > 0 and coleg = 0) then
    begin
      tipocomp = '';
      nrocomp = '';
      select tipo, nro from auxasi where id = :idx into :tipocomp, :nrocomp;
      nrocomp = coalesce(nrocomp, '');
      if (char_length(nrocomp) = 12) then
        nfact = trim(coalesce(tipocomp, '') || ' ' || substring(nrocomp from 1 for 4) || '-'
                     || substring(nrocomp from 5 for 8));
      else
        nfact = trim(coalesce(tipocomp, '') || ' ' || nrocomp);
    end
    suspend;
  end
end^

/*
 * The entries of year EJ whose lines do not match them: lines that do not balance, fewer than
 * two lines, or a fingerprint (npas, checksum, importe) that differs from the lines. Same
 * columns as pselasientos. NADA is unused (always 1).
 */
create or alter procedure pselasimal (ej integer, nada integer)
returns (id integer, num integer, descrip varchar(60), fecha date, npas integer, idej integer,
         import numeric(18,2), clase varchar(10), clas integer, nfact varchar(20),
         idtip integer, idx integer, marc integer, coleg integer, nrec integer)
as
declare variable n integer;
declare variable s bigint;
declare variable deb numeric(18,2);
declare variable hab numeric(18,2);
declare variable chk integer;
begin
  for select a.id, a.num, a.descrip, a.fecha, a.npas, a.idej, a.importe, a.clase, a.idtip,
             a.idaux, a.marca, a.colegio, a.nrec, a.checksum,
             coalesce(p.n, 0), coalesce(p.s, 0), coalesce(p.deb, 0), coalesce(p.hab, 0)
        from asientos a
        left join (select idasi, count(*) as n, sum(id) as s,
                          sum(iif(dh = 'D', importe, 0)) as deb,
                          sum(iif(dh = 'D', 0, importe)) as hab
                     from pases
                     where idej = :ej
                     group by idasi) p on p.idasi = a.id
        where a.idej = :ej
        order by a.num + 0, a.id + 0
        into :id, :num, :descrip, :fecha, :npas, :idej, :import, :clas, :idtip, :idx, :marc,
             :coleg, :nrec, :chk, :n, :s, :deb, :hab
  do
  begin
    if (n < 2 or deb <> hab or coalesce(npas, 0) <> n or coalesce(chk, 0) <> s
        or coalesce(import, 0) <> deb) then
    begin
      clas = coalesce(clas, 0);
      idx = coalesce(idx, 0);
      coleg = coalesce(coleg, 0);
      clase = iif(deb <> hab, 'Desbalanc.', 'Huella');
      nfact = '';
      marc = iif(n < 2, 4, iif(deb <> hab, 6, 5));
      suspend;
    end
  end
end^

/*
 * The lines of entry ASI in line order: DEBE or HABER by side, the account's name in CUENT
 * and its display code (1.1.4.3, fCodDisplay of the chart procedures) in COD2.
 */
create or alter procedure pselpases (asi integer)
returns (id integer, idasi integer, cod varchar(20), cuent varchar(60), detalle varchar(30),
         debe numeric(18,2), haber numeric(18,2), fecha date, cod2 varchar(30))
as
declare variable dh char(1);
declare variable importe numeric(18,2);
begin
  for select p.id, p.idasi, p.cod, c.cuenta, p.detalle, p.dh, p.importe, p.fecha
        from pases p
        left join cuentas c on c.cod = p.cod
        where p.idasi = :asi
        order by p.nro, p.id
        into :id, :idasi, :cod, :cuent, :detalle, :dh, :importe, :fecha
  do
  begin
    cuent = coalesce(cuent, '');
    debe = iif(dh = 'D', importe, 0);
    haber = iif(dh = 'D', 0, importe);
    cod2 = fCodDisplay(cod);
    suspend;
  end
end^

/*
 * 1 when the entry (F1, D1, I1) comes before (F2, D2, I2) in renumbering order: date, then
 * description, then key, an empty date or description first (as `order by` puts them).
 */
create or alter function fAsiAntes (f1 date, d1 type of column asientos.descrip, i1 integer,
                                    f2 date, d2 type of column asientos.descrip, i2 integer)
returns smallint
as
begin
  if (f1 is distinct from f2) then return iif(f1 is null or f1 < f2, 1, 0);
  if (d1 is distinct from d2) then return iif(d1 is null or d1 < d2, 1, 0);
  return iif(i1 < i2, 1, 0);
end^

/*
 * 1 when number K of year EJ is as renumbering from DESDE leaves it: held by exactly one entry,
 * which comes after the one numbered K - 1 and before the one numbered K + 1 (both present
 * between DESDE and MAXNUM, the year's highest number); or held by none when K lies outside
 * DESDE..MAXNUM.
 * Three probes of the (idej, num) index.
 */
create or alter function fReenumSlot (ej integer, k integer, desde integer, maxnum integer)
returns smallint
as
declare variable c integer = 0;
declare variable id integer;
declare variable fecha date;
declare variable descrip type of column asientos.descrip;
declare variable xc integer;
declare variable xid integer;
declare variable xfecha date;
declare variable xdescrip type of column asientos.descrip;
begin
  for select id, fecha, descrip from asientos where idej = :ej and num = :k
        into :id, :fecha, :descrip
  do c = c + 1;
  if (c = 0) then return iif(maxnum is null or k > maxnum or k < desde, 1, 0);
  if (c > 1 or k < desde) then return 0;
  if (k > desde) then
  begin
    xc = 0;
    for select id, fecha, descrip from asientos where idej = :ej and num = :k - 1
          into :xid, :xfecha, :xdescrip
    do xc = xc + 1;
    if (xc <> 1 or fAsiAntes(xfecha, xdescrip, xid, fecha, descrip, id) = 0) then return 0;
  end
  if (k < maxnum) then
  begin
    xc = 0;
    for select id, fecha, descrip from asientos where idej = :ej and num = :k + 1
          into :xid, :xfecha, :xdescrip
    do xc = xc + 1;
    if (xc <> 1 or fAsiAntes(fecha, descrip, id, xfecha, xdescrip, xid) = 0) then return 0;
  end
  return 1;
end^

/*
 * Gives the entries of year EJ the numbers DESDE, DESDE + 1, ... in order of date, then
 * description, then key, and returns in RESULT how many entries the year has. With RECALC = 1
 * it also rewrites each entry's fingerprint from its lines (npas = count, checksum = sum of the
 * line keys, importe = sum of the debit amounts).
 *
 * The browser runs this every time it opens, so on a year that is already numbered and whose
 * fingerprints match it must cost a read of a few rows, not of the year (which would also
 * collide with every other operator's work). The triggers of asirev list every entry whose
 * number, date, description or fingerprint changed and every entry whose lines changed since
 * the year was last checked; everything else is as that check left it. So:
 *  - the year's lowest number must be DESDE (one index probe);
 *  - each number an asirev row names (the old and the new number of a changed entry) must be
 *    held by one entry in order with its neighbours, or be above the highest number: with
 *    the untouched entries still in order and without gaps, that makes the whole year
 *    DESDE, DESDE + 1, ... in order;
 *  - each entry an asirev row names gets its fingerprint compared with its lines, and
 *    rewritten when it differs.
 * The rows checked are deleted (with RECALC = 1; without it fingerprints are not checked, so
 * the rows stay for the next check). When a number does not fit, a row asks for the whole year
 * or there are too many rows, the full pass runs: it sorts the year and writes only the
 * entries whose number or fingerprint differs. The year's row is locked first, so renumbering
 * and the saves that take new numbers never interleave.
 */
create or alter procedure pReenum (ej integer, desde integer, recalc integer)
returns (result integer)
as
declare variable lockid integer;
declare variable id integer;
declare variable num integer;
declare variable npas integer;
declare variable chk integer;
declare variable importe numeric(18,2);
declare variable n integer;
declare variable s bigint;
declare variable deb numeric(18,2);
declare variable nuevo integer;
declare variable completo smallint = 0;
declare variable hay smallint = 0;
declare variable minnum integer;
declare variable maxnum integer;
declare variable rk char(8) character set octets;
declare variable rasi integer;
declare variable rnum integer;
declare variable rtipo smallint;
declare variable leidas integer = 0;
declare variable ultasi integer = 0;
begin
  result = 0;
  select id from ejerc where id = :ej with lock into :lockid;
  nuevo = coalesce(desde, 1);
  /* What this procedure writes it has just checked: the asirev triggers skip it. */
  rdb$set_context('USER_TRANSACTION', 'KESH_REENUM', '1');

  for select first 1 num from asientos where idej = :ej order by idej, num into :minnum
  do hay = 1;
  if (hay = 1) then
  begin
    /* An entry without number sorts first and gives null here. */
    if (minnum is distinct from nuevo) then completo = 1;
    select first 1 num from asientos where idej = :ej order by idej desc, num desc into :maxnum;
  end

  if (completo = 0) then
    for select rdb$db_key, idasi, num, tipo from asirev where idej = :ej order by idasi
          into :rk, :rasi, :rnum, :rtipo
    do
    begin
      leidas = leidas + 1;
      if (rtipo = 0 or leidas > 20000 or (rtipo = 1 and rnum is null)) then
        completo = 1;
      else if (rtipo = 1 and fReenumSlot(:ej, :rnum, :nuevo, :maxnum) = 0) then
        completo = 1;
      if (completo = 0 and recalc = 1 and rasi is distinct from ultasi) then
      begin
        ultasi = rasi;
        for select npas, checksum, importe from asientos where id = :rasi and idej = :ej
              into :npas, :chk, :importe
        do
        begin
          select count(*), coalesce(sum(id), 0), coalesce(sum(iif(dh = 'D', importe, 0)), 0)
            from pases where idej = :ej and idasi = :rasi
            into :n, :s, :deb;
          if (npas is distinct from n or chk is distinct from s or importe is distinct from deb) then
            update asientos set npas = :n, checksum = :s, importe = :deb where id = :rasi;
        end
      end
      if (completo = 1) then leave;
      if (recalc = 1) then delete from asirev where rdb$db_key = :rk;
    end

  if (completo = 0) then
    result = iif(hay = 1, maxnum - nuevo + 1, 0);
  else
  begin
    if (recalc = 1) then
    begin
      /* The rows read now are covered by the pass below; rows committed later by others are
         not read (and, in a snapshot, not seen), so they stay. */
      if (rdb$get_context('SYSTEM', 'ISOLATION_LEVEL') in ('SNAPSHOT', 'CONSISTENCY')) then
        delete from asirev where idej = :ej;
      else
        for select rdb$db_key from asirev where idej = :ej into :rk do
          delete from asirev where rdb$db_key = :rk;
    end
    nuevo = coalesce(desde, 1);
    if (recalc = 1) then
    begin
      for select a.id, a.num, a.npas, a.checksum, a.importe,
                 coalesce(p.n, 0), coalesce(p.s, 0), coalesce(p.deb, 0)
            from asientos a
            left join (select idasi, count(*) as n, sum(id) as s,
                              sum(iif(dh = 'D', importe, 0)) as deb
                         from pases
                         where idej = :ej
                         group by idasi) p on p.idasi = a.id
            where a.idej = :ej
            order by a.fecha, a.descrip, a.id
            into :id, :num, :npas, :chk, :importe, :n, :s, :deb
      do
      begin
        if (num is distinct from nuevo or npas is distinct from n
            or chk is distinct from s or importe is distinct from deb) then
          update asientos set num = :nuevo, npas = :n, checksum = :s, importe = :deb
            where id = :id;
        nuevo = nuevo + 1;
        result = result + 1;
      end
    end
    else
    begin
      for select a.id, a.num from asientos a
            where a.idej = :ej
            order by a.fecha, a.descrip, a.id
            into :id, :num
      do
      begin
        if (num is distinct from nuevo) then
          update asientos set num = :nuevo where id = :id;
        nuevo = nuevo + 1;
        result = result + 1;
      end
    end
  end
  rdb$set_context('USER_TRANSACTION', 'KESH_REENUM', null);
  suspend;
  when any do
  begin
    rdb$set_context('USER_TRANSACTION', 'KESH_REENUM', null);
    exception;
  end
end^

set term ; ^
commit;
