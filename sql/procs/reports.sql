/*
 * Accounting reports: the data gathering of the journal, summarized journal, ledger, trial
 * balance, balance, chart listing and account analysis. Every procedure returns the columns
 * the report layouts read by name. Re-runnable: every object is `create or alter`.
 *
 * Year selector (ledger, trial balance, balance): the fiscal year's id, 0 for the years
 * ticked in the main window (ejerc.activ = '+'), anything else (-2) for none.
 * Debits are the lines with dh = 'D'; every other line is a credit.
 */
set term ^ ;

/* Internal code to display code: 000100020015 -> 1.2.15; '' when a group is not a number.
   Called for every printed line, so it does no pattern matching: a group that does not
   convert ends in the handler. */
create or alter function f_codshow (c varchar(20)) returns varchar(30) as
declare variable s varchar(30) = '';
declare variable i integer = 1;
declare variable n integer;
begin
  c = trim(c);
  n = char_length(c);
  if (mod(n, 4) <> 0) then return '';
  while (i < n) do
  begin
    if (i > 1) then s = s || '.';
    s = s || cast(cast(substring(c from i for 4) as integer) as varchar(5));
    i = i + 4;
  end
  return s;
  when any do return '';
end^

/* dd/mm/yyyy */
create or alter function f_fechastr (d date) returns varchar(10) as
begin
  if (d is null) then return '';
  return lpad(extract(day from d), 2, '0') || '/' || lpad(extract(month from d), 2, '0') || '/' ||
         extract(year from d);
end^

/* Month index, January 1900 = 1. */
create or alter function f_mes (d date) returns integer as
begin
  return extract(year from d) * 12 + extract(month from d) - 22800;
end^

/* First day of month index m. */
create or alter function f_mesini (m integer) returns date as
begin
  return dateadd(m - 1 month to date '1900-01-01');
end^

/* Whether fiscal year `idej` is selected by the year selector `sel`. */
create or alter function f_ejsel (sel integer, idej integer) returns smallint as
begin
  if (sel > 0) then return iif(idej = sel, 1, 0);
  if (sel = 0) then
    return iif(exists(select 1 from ejerc e where e.id = :idej and e.activ = '+'), 1, 0);
  return 0;
end^

/* ---- journal ----------------------------------------------------------------------- */

/*
 * The journal goes day by day through the (idej, fecha) index and sorts only one day's lines
 * at a time, so its first rows come out at once however long the period is (a report reads
 * them while it lays out its pages). `a.id + 0` keeps the optimizer from driving the join
 * from the whole of pases.
 */
create or alter procedure PDIARIO (idej integer, d1 date, d2 date, apertura integer)
returns (FECHA date, FECHAV date, NRO integer, DESCRIP varchar(60), COD varchar(20),
         COD2 varchar(30), CUENT varchar(60), DETALLE varchar(30), DEBE numeric(18,2),
         HABER numeric(18,2))
as
declare variable dh char(1);
declare variable importe numeric(18,2);
declare variable dia date;
begin
  dia = null;
  select first 1 a.fecha from asientos a
    where a.idej = :idej and a.fecha >= :d1 and a.fecha <= :d2
    order by a.idej, a.fecha
    into :dia;
  while (dia is not null) do
  begin
    for select a.fecha, a.fechav, a.num, a.descrip, p.cod, c.cuenta, p.detalle, p.dh, p.importe
          from asientos a
          join pases p on p.idasi = a.id + 0
          left join cuentas c on c.cod = p.cod
          where a.idej = :idej and a.fecha = :dia
            and (:apertura = 1 or a.idaux <> -1)
          order by a.num, a.id, p.nro, p.id
          into :fecha, :fechav, :nro, :descrip, :cod, :cuent, :detalle, :dh, :importe
    do begin
      cod2 = f_codshow(cod);
      cuent = coalesce(cuent, '');
      debe = iif(dh = 'D', importe, 0);
      haber = iif(dh = 'D', 0, importe);
      suspend;
    end
    fecha = dia;
    dia = null;
    select first 1 a.fecha from asientos a
      where a.idej = :idej and a.fecha > :fecha and a.fecha <= :d2
      order by a.idej, a.fecha
      into :dia;
  end
end^

create or alter procedure PASIENTO (idej integer, idasi integer)
returns (FECHA date, FECHAV date, NRO integer, DESCRIP varchar(60), COD varchar(20),
         COD2 varchar(30), CUENT varchar(60), DETALLE varchar(30), DEBE numeric(18,2),
         HABER numeric(18,2))
as
declare variable dh char(1);
declare variable importe numeric(18,2);
begin
  for select a.fecha, a.fechav, a.num, a.descrip, p.cod, c.cuenta, p.detalle, p.dh, p.importe
        from asientos a
        join pases p on p.idasi = a.id
        left join cuentas c on c.cod = p.cod
        where a.id = :idasi and a.idej = :idej
        order by p.nro, p.id
        into :fecha, :fechav, :nro, :descrip, :cod, :cuent, :detalle, :dh, :importe
  do begin
    cod2 = f_codshow(cod);
    cuent = coalesce(cuent, '');
    debe = iif(dh = 'D', importe, 0);
    haber = iif(dh = 'D', 0, importe);
    suspend;
  end
end^

/*
 * Net movement per account of the entries of a date span: debit accounts first, then credit
 * accounts, each by code; accounts that net to zero are left out. clases: 0 every entry,
 * 1 purchase vouchers (1, 3, 4), 2 sales vouchers (2, 5, 6). The opening entry, the
 * result-closing and the closing entry of the year count only when their flag is 1.
 */
create or alter procedure pResumenNeto (idej integer, d1 date, d2 date, clases integer,
                                        apertura integer, refun integer, cierre integer)
returns (COD varchar(20), COD2 varchar(30), CUENT varchar(60), DEBE numeric(18,2),
         HABER numeric(18,2))
as
declare variable idrefun integer;
declare variable idcierre integer;
declare variable neto numeric(18,2);
declare variable lado integer;
begin
  select coalesce(idrefun, 0), coalesce(idcierre, 0) from ejerc where id = :idej
    into :idrefun, :idcierre;
  idrefun = coalesce(idrefun, 0);
  idcierre = coalesce(idcierre, 0);
  lado = 0;
  while (lado < 2) do
  begin
    for select p.cod, sum(iif(p.dh = 'D', p.importe, -p.importe))
          from pases p join asientos a on a.id = p.idasi
          where p.idej = :idej and a.fecha between :d1 and :d2
            and (:apertura = 1 or a.idaux <> -1)
            and (:refun = 1 or a.id <> :idrefun)
            and (:cierre = 1 or a.id <> :idcierre)
            and (:clases = 0 or (:clases = 1 and a.clase in (1, 3, 4))
                 or (:clases = 2 and a.clase in (2, 5, 6)))
          group by p.cod
          order by p.cod
          into :cod, :neto
    do begin
      if ((lado = 0 and neto > 0) or (lado = 1 and neto < 0)) then
      begin
        cod2 = f_codshow(cod);
        cuent = coalesce((select cuenta from cuentas where cod = :cod), '');
        debe = iif(neto > 0, neto, 0);
        haber = iif(neto < 0, -neto, 0);
        suspend;
      end
    end
    lado = lado + 1;
  end
end^

create or alter procedure pAsResumen2 (idej integer, d1 date, d2 date, primero integer,
                                       apertura integer, texto varchar(60))
returns (FECHA date, FECHAV date, NRO integer, DESCRIP varchar(60), COD varchar(20),
         COD2 varchar(30), CUENT varchar(60), DETALLE varchar(30), DEBE numeric(18,2),
         HABER numeric(18,2))
as
begin
  fecha = d2;
  fechav = null;
  nro = primero;
  descrip = 'Asiento resumido del ' || f_fechastr(d1) || ' al ' || f_fechastr(d2);
  detalle = '';
  for select cod, cod2, cuent, debe, haber from pResumenNeto(:idej, :d1, :d2, 0, :apertura, 1, 1)
        into :cod, :cod2, :cuent, :debe, :haber
  do suspend;
end^

/*
 * Per month of the span: mode 2 condenses every entry of the month; mode 3 reproduces the
 * generic entries and condenses the purchase and the sales vouchers into one entry each.
 */
create or alter procedure pAsResumMes (idej integer, d1 date, d2 date, primero integer,
                                       apertura integer, refun integer, cierre integer,
                                       modo integer)
returns (FECHA date, FECHAV date, NRO integer, DESCRIP varchar(60), COD varchar(20),
         COD2 varchar(30), CUENT varchar(60), DETALLE varchar(30), DEBE numeric(18,2),
         HABER numeric(18,2))
as
declare variable m integer;
declare variable m2 integer;
declare variable md1 date;
declare variable md2 date;
declare variable clases integer;
declare variable hubo integer;
declare variable idasi integer;
declare variable idrefun integer;
declare variable idcierre integer;
declare variable dh char(1);
declare variable importe numeric(18,2);
begin
  select coalesce(idrefun, 0), coalesce(idcierre, 0) from ejerc where id = :idej
    into :idrefun, :idcierre;
  idrefun = coalesce(idrefun, 0);
  idcierre = coalesce(idcierre, 0);
  nro = primero;
  fechav = null;
  m = f_mes(d1);
  m2 = f_mes(d2);
  while (m <= m2) do
  begin
    md1 = maxvalue(d1, f_mesini(m));
    md2 = minvalue(d2, dateadd(-1 day to f_mesini(m + 1)));
    if (modo = 3) then
    begin
      for select a.id, a.fecha, a.num, a.descrip from asientos a
            where a.idej = :idej and a.fecha between :md1 and :md2
              and a.clase not in (1, 2, 3, 4, 5, 6)
              and (:apertura = 1 or a.idaux <> -1)
              and (:refun = 1 or a.id <> :idrefun)
              and (:cierre = 1 or a.id <> :idcierre)
            order by a.fecha, a.num, a.id
            into :idasi, :fecha, :m2, :descrip
      do begin
        m2 = f_mes(d2);
        for select p.cod, c.cuenta, p.detalle, p.dh, p.importe
              from pases p left join cuentas c on c.cod = p.cod
              where p.idasi = :idasi order by p.nro, p.id
              into :cod, :cuent, :detalle, :dh, :importe
        do begin
          cod2 = f_codshow(cod);
          cuent = coalesce(cuent, '');
          debe = iif(dh = 'D', importe, 0);
          haber = iif(dh = 'D', 0, importe);
          suspend;
        end
        nro = nro + 1;
      end
    end
    clases = iif(modo = 3, 1, 0);
    while (clases <= iif(modo = 3, 2, 0)) do
    begin
      fecha = md2;
      detalle = '';
      descrip = trim(iif(clases = 1, 'Resumen Compras', iif(clases = 2, 'Resumen Ventas', 'Resumen del mes'))) ||
                ' ' || substring(f_fechastr(md1) from 4 for 7);
      hubo = 0;
      for select cod, cod2, cuent, debe, haber
            from pResumenNeto(:idej, :md1, :md2, :clases, :apertura, :refun, :cierre)
            into :cod, :cod2, :cuent, :debe, :haber
      do begin
        hubo = 1;
        suspend;
      end
      if (hubo = 1) then nro = nro + 1;
      clases = clases + 1;
    end
    m = m + 1;
  end
end^

create or alter procedure pAsResum2 (idej integer, d1 date, d2 date, d1b date, primero integer,
                                     apertura integer, refun integer, cierre integer,
                                     texto varchar(60))
returns (FECHA date, FECHAV date, NRO integer, DESCRIP varchar(60), COD varchar(20),
         COD2 varchar(30), CUENT varchar(60), DETALLE varchar(30), DEBE numeric(18,2),
         HABER numeric(18,2))
as
begin
  for select fecha, fechav, nro, descrip, cod, cod2, cuent, detalle, debe, haber
        from pAsResumMes(:idej, :d1, :d2, :primero, :apertura, :refun, :cierre, 2)
        into :fecha, :fechav, :nro, :descrip, :cod, :cod2, :cuent, :detalle, :debe, :haber
  do suspend;
end^

create or alter procedure pAsResum3 (idej integer, d1 date, d2 date, d1b date, primero integer,
                                     apertura integer, refun integer, cierre integer,
                                     texto varchar(60))
returns (FECHA date, FECHAV date, NRO integer, DESCRIP varchar(60), COD varchar(20),
         COD2 varchar(30), CUENT varchar(60), DETALLE varchar(30), DEBE numeric(18,2),
         HABER numeric(18,2))
as
begin
  for select fecha, fechav, nro, descrip, cod, cod2, cuent, detalle, debe, haber
        from pAsResumMes(:idej, :d1, :d2, :primero, :apertura, :refun, :cierre, 3)
        into :fecha, :fechav, :nro, :descrip, :cod, :cod2, :cuent, :detalle, :debe, :haber
  do suspend;
end^

/* ---- ledger ------------------------------------------------------------------------ */

/*
 * Lines of every account of the code range that has lines in the period. ACU* are the
 * account's sums from the start date to the day before the period, within the selected
 * years (the zero date as start date takes every earlier line of those years). With
 * totmes '1' a row per month (NRO 0, DESCRIPASI 'TOTALES mm/yyyy') follows the month's
 * lines with the month's debit, credit and balance. SALDO of a line row is the running
 * balance from ACUSALDO.
 *
 * Account by account and month by month: saldosmes lists the (code, month) pairs that have
 * lines, each month's lines come through the (cod, fecha) index and only they are sorted, and
 * an account's sums before the period are taken when its first line is reached. So the first
 * rows come out at once and no line is read twice.
 */
create or alter procedure pMayorF (idej integer, codini varchar(20), codfin varchar(20),
                                   dini date, d1 date, d2 date, totmes varchar(1))
returns (COD varchar(20), COD2 varchar(30), CUENTA varchar(60), FECH date, FECHV date,
         NRO integer, DESCRIPASI varchar(60), DETALL varchar(30), DEBE numeric(18,2),
         HABER numeric(18,2), SALDO numeric(18,2), ACUDEBE numeric(18,2),
         ACUHABER numeric(18,2), ACUSALDO numeric(18,2))
as
declare variable dh char(1);
declare variable importe numeric(18,2);
declare variable c varchar(20);
declare variable mes integer;
declare variable md1 date;
declare variable md2 date;
declare variable mdebe numeric(18,2);
declare variable mhaber numeric(18,2);
declare variable mfin date;
declare variable hubo smallint;
declare variable empezada smallint;
declare variable ld date;
declare variable lnro integer;
declare variable ldesc varchar(60);
declare variable ldet varchar(30);
declare variable lfv date;
declare variable corrido numeric(18,2);
begin
  cod = null;
  empezada = 0;
  for select s.cod, s.mes from saldosmes s
        where s.cod between :codini and :codfin and s.mes between f_mes(:d1) and f_mes(:d2)
        group by s.cod, s.mes
        into :c, :mes
  do begin
    if (cod is distinct from c) then
    begin
      cod = c;
      empezada = 0;
    end
    md1 = maxvalue(d1, f_mesini(mes));
    mfin = dateadd(-1 day to f_mesini(mes + 1));
    md2 = minvalue(d2, mfin);
    hubo = 0;
    mdebe = 0;
    mhaber = 0;
    for select p.fecha, p.fechav, a.num, a.descrip, p.detalle, p.dh, p.importe
          from pases p join asientos a on a.id = p.idasi
          where p.cod = :cod and p.fecha between :md1 and :md2
            and ((:idej > 0 and p.idej + 0 = :idej) or (:idej = 0 and f_ejsel(0, p.idej) = 1))
          order by p.fecha, a.num, p.idasi, p.nro, p.id
          into :ld, :lfv, :lnro, :ldesc, :ldet, :dh, :importe
    do begin
      if (empezada = 0) then
      begin
        empezada = 1;
        cod2 = f_codshow(cod);
        cuenta = coalesce((select cuenta from cuentas where cod = :cod), '');
        select coalesce(sum(iif(p.dh = 'D', p.importe, 0)), 0), coalesce(sum(iif(p.dh = 'D', 0, p.importe)), 0)
          from pases p
          where p.cod = :cod and p.fecha >= :dini and p.fecha < :d1 and f_ejsel(:idej, p.idej) = 1
          into :acudebe, :acuhaber;
        acusaldo = acudebe - acuhaber;
        corrido = acusaldo;
      end
      hubo = 1;
      fech = ld; fechv = lfv; nro = lnro; descripasi = ldesc; detall = ldet;
      debe = iif(dh = 'D', importe, 0);
      haber = iif(dh = 'D', 0, importe);
      mdebe = mdebe + debe;
      mhaber = mhaber + haber;
      corrido = corrido + debe - haber;
      saldo = corrido;
      suspend;
    end
    if (totmes = '1' and hubo = 1) then
    begin
      fech = mfin; fechv = null; nro = 0;
      descripasi = 'TOTALES ' || substring(f_fechastr(mfin) from 4 for 7);
      detall = ''; debe = mdebe; haber = mhaber; saldo = mdebe - mhaber;
      suspend;
    end
  end
end^

/* ---- balances ----------------------------------------------------------------------- */

/*
 * Debits and credits of the lines of an account and every account under it (codes starting
 * with it) dated d1..d2 in the selected years. Each code is read through the (cod, fecha)
 * index with an equality on the code; saldosmes says which codes have lines in those months.
 */
create or alter procedure pSumLineas (idej integer, cod varchar(20), d1 date, d2 date)
returns (DEBE numeric(18,2), HABER numeric(18,2))
as
declare variable c varchar(20);
declare variable d numeric(18,2);
declare variable h numeric(18,2);
begin
  debe = 0;
  haber = 0;
  for select distinct s.cod from saldosmes s
        where s.cod starting with :cod and s.mes between f_mes(:d1) and f_mes(:d2)
        into :c
  do begin
    select coalesce(sum(iif(p.dh = 'D', p.importe, 0)), 0), coalesce(sum(iif(p.dh = 'D', 0, p.importe)), 0)
      from pases p
      where p.cod = :c and p.fecha between :d1 and :d2 and f_ejsel(:idej, p.idej) = 1
      into :d, :h;
    debe = debe + d;
    haber = haber + h;
  end
  suspend;
end^

/*
 * The same sums for any span: whole months from saldosmes, the days of a month cut by d1 or
 * d2 from the lines themselves.
 */
create or alter procedure pSumCta (idej integer, cod varchar(20), d1 date, d2 date)
returns (DEBE numeric(18,2), HABER numeric(18,2))
as
declare variable m1 integer;
declare variable m2 integer;
declare variable d numeric(18,2);
declare variable h numeric(18,2);
begin
  debe = 0;
  haber = 0;
  if (d1 > d2) then begin suspend; exit; end
  m1 = f_mes(d1);
  if (d1 > f_mesini(m1)) then m1 = m1 + 1;
  m2 = f_mes(d2);
  if (dateadd(1 day to d2) < f_mesini(m2 + 1)) then m2 = m2 - 1;
  if (m1 > m2) then
  begin
    select debe, haber from pSumLineas(:idej, :cod, :d1, :d2) into :debe, :haber;
    suspend;
    exit;
  end
  select coalesce(sum(s.debe), 0), coalesce(sum(s.haber), 0) from saldosmes s
    where s.mes between :m1 and :m2 and s.cod starting with :cod
      and f_ejsel(:idej, s.idej) = 1
    into :debe, :haber;
  if (d1 < f_mesini(m1)) then
  begin
    select debe, haber from pSumLineas(:idej, :cod, :d1, dateadd(-1 day to f_mesini(:m1)))
      into :d, :h;
    debe = debe + d;
    haber = haber + h;
  end
  if (d2 >= f_mesini(m2 + 1)) then
  begin
    select debe, haber from pSumLineas(:idej, :cod, f_mesini(:m2 + 1), :d2) into :d, :h;
    debe = debe + d;
    haber = haber + h;
  end
  suspend;
end^

/*
 * For each account of the code range with a level in niv1..niv2, a row per month of the
 * period (month and year of the line, the month's sums cut to the period, and the sums
 * accumulated from the start of the period). Group accounts add up the accounts under them.
 */
create or alter procedure pSumySal2 (idej integer, codini varchar(20), codfin varchar(20),
                                     d1 date, d2 date, niv1 integer, niv2 integer)
returns (COD varchar(20), COD2 varchar(30), CUEN varchar(60), MES integer, AN integer,
         DEB1 numeric(18,2), HAB1 numeric(18,2), SAL1 numeric(18,2), DEB2 numeric(18,2),
         HAB2 numeric(18,2), SAL2 numeric(18,2))
as
declare variable m integer;
declare variable mlast integer;
declare variable md1 date;
declare variable md2 date;
begin
  mlast = f_mes(d2);
  for select trim(c.cod), c.cuenta from cuentas c
        where c.cod between :codini and :codfin
          and char_length(trim(c.cod)) / 4 between :niv1 and :niv2
        order by c.cod
        into :cod, :cuen
  do begin
    cod2 = f_codshow(cod);
    deb2 = 0;
    hab2 = 0;
    m = f_mes(d1);
    while (m <= mlast) do
    begin
      md1 = maxvalue(d1, f_mesini(m));
      md2 = minvalue(d2, dateadd(-1 day to f_mesini(m + 1)));
      select debe, haber from pSumCta(:idej, :cod, :md1, :md2) into :deb1, :hab1;
      sal1 = deb1 - hab1;
      deb2 = deb2 + deb1;
      hab2 = hab2 + hab1;
      sal2 = deb2 - hab2;
      mes = extract(month from md1);
      an = extract(year from md1);
      suspend;
      m = m + 1;
    end
  end
end^

/*
 * The accounts of the code range in chart order with their debits, credits and balance of
 * the period; niveles has one character per level 1..5, '1' to include it; modo 1 leaves
 * out accounts without lines in the period. CUENTA2 indents the name by its level.
 */
create or alter procedure pbalance (idej integer, modo integer, codini varchar(20),
                                    codfin varchar(20), d1 date, d2 date, niveles varchar(5))
returns (COD varchar(20), COD2 varchar(30), NRO integer, CUENTA varchar(60),
         CUENTA2 varchar(80), DEBE numeric(18,2), HABER numeric(18,2), SALDO numeric(18,2),
         NIV integer, ABREV varchar(5))
as
begin
  for select trim(c.cod), c.nro, c.cuenta, c.token, char_length(trim(c.cod)) / 4 from cuentas c
        where c.cod between :codini and :codfin
        order by c.cod
        into :cod, :nro, :cuenta, :abrev, :niv
  do begin
    if (niv between 1 and 5 and substring(coalesce(niveles, '') || '00000' from niv for 1) = '1') then
    begin
      select debe, haber from pSumCta(:idej, :cod, :d1, :d2) into :debe, :haber;
      /* With modo 1 an account shows when it has movement in the period. */
      if (modo <> 1 or debe <> 0 or haber <> 0) then
      begin
        cod2 = f_codshow(cod);
        cuenta2 = substring(lpad('', 2 * (niv - 1)) || coalesce(cuenta, '') from 1 for 80);
        saldo = debe - haber;
        suspend;
      end
    end
  end
end^

/* The chart (or a code range of it) limited to the ticked account classes. */
create or alter procedure pPlan (gen integer, prov integer, cli integer, codini varchar(20),
                                 codfin varchar(20))
returns (COD varchar(20), COD2 varchar(30), NRO integer, CUENTA varchar(60),
         CUENTA2 varchar(80), DEBE numeric(18,2), HABER numeric(18,2), SALDO numeric(18,2),
         NIV integer, ABREV varchar(5))
as
begin
  debe = 0;
  haber = 0;
  saldo = 0;
  for select trim(c.cod), c.nro, c.cuenta, c.token, char_length(trim(c.cod)) / 4 from cuentas c
        where c.cod between :codini and :codfin
          and ((:gen = 1 and c.clase = 0) or (:prov = 1 and c.clase = 1)
               or (:cli = 1 and c.clase = 2))
        order by c.cod
        into :cod, :nro, :cuenta, :abrev, :niv
  do begin
    cod2 = f_codshow(cod);
    cuenta2 = substring(lpad('', 2 * (niv - 1)) || coalesce(cuenta, '') from 1 for 80);
    suspend;
  end
end^

/* ---- account analysis --------------------------------------------------------------- */

/*
 * One row per month of the fiscal year (IDSTR 'mm/yyyy') or per day of a month (IDSTR
 * 'DOM dd/mm/yyyy' ...): the account's debits, credits and balance of the period, and bar
 * lengths in 1/96 inch scaled so the largest amount of the report draws 100.
 */
create or alter procedure pResCtaSpan (cod varchar(20), idej integer, d1 date, d2 date,
                                       diario integer)
returns (IDSTR varchar(20), DEBE numeric(18,2), HABER numeric(18,2), SALDO numeric(18,2),
         PORDEBE integer, PORHABER integer, PORSALDO integer)
as
declare variable p1 date;
declare variable p2 date;
declare variable tope numeric(18,2);
declare variable paso integer;
begin
  tope = 0;
  paso = 0;
  while (paso < 2) do
  begin
    p1 = d1;
    while (p1 <= d2) do
    begin
      p2 = iif(diario = 1, p1, minvalue(d2, dateadd(-1 day to dateadd(1 month to p1))));
      select coalesce(sum(iif(p.dh = 'D', p.importe, 0)), 0), coalesce(sum(iif(p.dh = 'D', 0, p.importe)), 0)
        from pases p
        where p.cod = :cod and p.fecha between :p1 and :p2 and p.idej = :idej
        into :debe, :haber;
      saldo = debe - haber;
      if (paso = 0) then
        tope = maxvalue(tope, debe, haber, abs(saldo));
      else
      begin
        if (diario = 1) then
          idstr = decode(extract(weekday from p1), 0, 'DOM', 1, 'LUN', 2, 'MAR', 3, 'MIE',
                         4, 'JUE', 5, 'VIE', 'SAB') || ' ' || f_fechastr(p1);
        else
          idstr = substring(f_fechastr(p1) from 4 for 7);
        pordebe = iif(tope = 0, 0, round(debe * 100 / tope, 0));
        porhaber = iif(tope = 0, 0, round(haber * 100 / tope, 0));
        porsaldo = iif(tope = 0, 0, round(abs(saldo) * 100 / tope, 0));
        suspend;
      end
      p1 = dateadd(1 day to p2);
    end
    paso = paso + 1;
  end
end^

create or alter procedure pResCtaxMes (cod varchar(20), idej integer)
returns (IDSTR varchar(20), DEBE numeric(18,2), HABER numeric(18,2), SALDO numeric(18,2),
         PORDEBE integer, PORHABER integer, PORSALDO integer)
as
declare variable d1 date;
declare variable d2 date;
begin
  select fech1, fech2 from ejerc where id = :idej into :d1, :d2;
  if (d1 is null or d2 is null) then exit;
  /* Months run from the first of the year's first month. */
  d1 = f_mesini(f_mes(d1));
  for select idstr, debe, haber, saldo, pordebe, porhaber, porsaldo
        from pResCtaSpan(:cod, :idej, :d1, :d2, 0)
        into :idstr, :debe, :haber, :saldo, :pordebe, :porhaber, :porsaldo
  do suspend;
end^

create or alter procedure pResCtaxDia (cod varchar(20), fecha date, idej integer)
returns (IDSTR varchar(20), DEBE numeric(18,2), HABER numeric(18,2), SALDO numeric(18,2),
         PORDEBE integer, PORHABER integer, PORSALDO integer)
as
declare variable d1 date;
begin
  d1 = f_mesini(f_mes(fecha));
  for select idstr, debe, haber, saldo, pordebe, porhaber, porsaldo
        from pResCtaSpan(:cod, :idej, :d1, dateadd(-1 day to f_mesini(f_mes(:fecha) + 1)), 1)
        into :idstr, :debe, :haber, :saldo, :pordebe, :porhaber, :porsaldo
  do suspend;
end^

/*
 * Folds the deltas of saldosmes into one row per (year, account, month). Run it in a
 * snapshot transaction: it deletes exactly the rows its snapshot summed, so deltas that
 * others commit meanwhile are kept. Returns how many groups it folded.
 */
create or alter procedure pCompactSaldosMes
returns (GRUPOS integer)
as
declare variable idej integer;
declare variable cod varchar(20);
declare variable mes integer;
declare variable debe numeric(18,2);
declare variable haber numeric(18,2);
begin
  grupos = 0;
  for select idej, cod, mes, sum(debe), sum(haber) from saldosmes
        group by idej, cod, mes having count(*) > 1
        into :idej, :cod, :mes, :debe, :haber
  do begin
    delete from saldosmes where idej = :idej and cod = :cod and mes = :mes;
    if (debe <> 0 or haber <> 0) then
      insert into saldosmes (idej, cod, mes, debe, haber) values (:idej, :cod, :mes, :debe, :haber);
    grupos = grupos + 1;
  end
  suspend;
end^

set term ; ^
commit;
