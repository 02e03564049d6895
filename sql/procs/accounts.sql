/*
 * Chart of accounts: the accounts list with its balances, one account's ledger and its
 * balances per fiscal year, and the rebuild of the stored final balances (table balance).
 * Re-runnable: every object is `create or alter`.
 *
 * Year selector (argument `sel` of the ledger and balance procedures): a fiscal year id; 0 for
 * the ticked years (ejerc.activ = '+'); any other value (the program passes -2 when there is
 * no year) selects nothing.
 *
 * Balances are signed: debit positive, credit negative. The opening balance of a year is what
 * its opening entry posted (lines with nconcep = -1); the movements are all other lines.
 *
 * Books reach hundreds of thousands of lines, so the procedures that read all of a year's
 * lines aggregate them once (scan + sort) and roll the totals up to the group accounts in a
 * second small pass, instead of summing each account's subtree through the code index.
 * Ends with the terminator back at ';' so the next procedure file can follow it directly.
 */
set term ^ ;

/* Internal code (0001000100040003) to display code (1.1.4.3); a text that is already a display
   code (shorter than 4 or with a ".") comes back trimmed; anything else gives ''. */
create or alter function fCodDisplay (c varchar(30)) returns varchar(30)
as
declare variable k integer;
declare variable r varchar(30);
begin
  c = trim(c);
  if (c is null) then return '';
  if (char_length(c) < 4 or position('.' in c) > 0) then return c;
  if (mod(char_length(c), 4) <> 0 or c similar to '%[^0-9]%') then return '';
  r = '';
  k = 1;
  while (k <= char_length(c)) do
  begin
    if (k > 1) then r = r || '.';
    r = r || cast(cast(substring(c from k for 4) as integer) as varchar(5));
    k = k + 4;
  end
  return r;
end^

/* Display code to internal code, the reverse of fCodDisplay: each of the first five groups made
   four digits (its last four, an empty group 0000); an internal code comes back trimmed. */
create or alter function fCodInterno (c varchar(30)) returns varchar(20)
as
declare variable r varchar(20);
declare variable p integer;
declare variable n integer;
begin
  c = trim(c);
  if (c is null) then return '';
  if (c = '' or (char_length(c) >= 4 and position('.' in c) = 0)) then return left(c, 20);
  r = '';
  n = 0;
  while (n < 5) do
  begin
    p = position('.' in c);
    if (p = 0) then
    begin
      r = r || right('0000' || c, 4);
      n = 5;
    end
    else
    begin
      r = r || right('0000' || left(c, p - 1), 4);
      c = substring(c from p + 1);
      n = n + 1;
    end
  end
  return r;
end^

/* The text of a fiscal year as the list of years shows it: "3. ENE/05 - DIC/05 !# Ejercicio
   2005" (! when the result-closing entry exists, # when the closing entry exists). */
create or alter function fEjText (id integer, fech1 date, fech2 date, descrip varchar(40),
                                  idrefun integer, idcierre integer) returns varchar(60)
as
declare variable meses char(36) = 'ENEFEBMARABRMAYJUNJULAGOSETOCTNOVDIC';
declare variable t1 varchar(6) = '';
declare variable t2 varchar(6) = '';
begin
  if (fech1 is not null) then
    t1 = substring(meses from extract(month from fech1) * 3 - 2 for 3) || '/' ||
         right('0' || mod(extract(year from fech1), 100), 2);
  if (fech2 is not null) then
    t2 = substring(meses from extract(month from fech2) * 3 - 2 for 3) || '/' ||
         right('0' || mod(extract(year from fech2), 100), 2);
  return left(id || '. ' || t1 || ' - ' || t2 || ' ' ||
              iif(coalesce(idrefun, 0) >= 1, '!', ' ') || iif(coalesce(idcierre, 0) >= 1, '#', ' ') ||
              ' ' || coalesce(trim(descrip), ''), 60);
end^

/* Path text of an account: "ACTIVO -> ACTIVO CORRIENTE -> (Caja)"; a missing account gives an
   empty name, so a path that ends in "()" names a code that does not exist. */
create or alter function fCtaPath (c varchar(20)) returns varchar(255)
as
declare variable k integer;
declare variable nom varchar(60);
declare variable r varchar(255) = '';
begin
  c = trim(c);
  k = 4;
  while (k <= char_length(c)) do
  begin
    nom = null;
    select cuenta from cuentas where cod = left(:c, :k) into :nom;
    if (k + 4 > char_length(c)) then
      r = left(r || '(' || coalesce(nom, '') || ')', 255);
    else
      r = left(r || coalesce(nom, '') || ' -> ', 255);
    k = k + 4;
  end
  return r;
end^

/* The codes of an account's ancestors, shortest first, and with `self` = 1 its own code:
   0001, 00010001 ... for 0001000100040003. */
create or alter procedure pCodPrefijos (c varchar(20), self integer)
returns (acod varchar(20))
as
declare variable k integer = 4;
begin
  c = trim(c);
  while (k < char_length(c) or (self = 1 and k = char_length(c))) do
  begin
    acod = left(c, k);
    suspend;
    k = k + 4;
  end
end^

/* Totals that pbrcuentas rolls up to every account: for each line total of the year (opening,
   debits, credits), each stored final balance and each account (a subaccount of its ancestors)
   one row per ancestor prefix of the code, the code itself included for the amounts.
   The year's totals per account come from saldosmes (a few rows per account and month, kept
   by the trigger on pases), less the opening lines (nconcep -1, found through their index),
   which count as INICIO instead: the year's lines themselves are never read. */
create or alter procedure pBrSums (ej integer)
returns (acod varchar(20), ini numeric(18,2), deb numeric(18,2), hab numeric(18,2),
         fin numeric(18,2), nsub integer)
as
declare variable c varchar(20);
declare variable d numeric(18,2);
declare variable h numeric(18,2);
begin
  ini = 0; deb = 0; hab = 0; fin = 0; nsub = 1;
  for select cod from cuentas into :c do
    for select acod from pCodPrefijos(:c, 0) into :acod do
      suspend;
  if (ej = 0) then exit;

  nsub = 0;
  for select cod, sum(debe), sum(haber) from saldosmes where idej = :ej group by cod
        into :c, :deb, :hab do
    for select acod from pCodPrefijos(:c, 1) into :acod do
      suspend;

  for select cod, sum(iif(dh = 'D', importe, 0)), sum(iif(dh = 'D', 0, importe))
        from pases
        where nconcep = -1 and idej + 0 = :ej  /* by pases_apertura, not the year's index */
        group by cod
        into :c, :d, :h do
  begin
    ini = d - h; deb = -d; hab = -h;
    for select acod from pCodPrefijos(:c, 1) into :acod do
      suspend;
  end

  ini = 0; deb = 0; hab = 0;
  for select cod, sum(final) from balance where idej = :ej group by cod into :c, :fin do
    for select acod from pCodPrefijos(:c, 1) into :acod do
      suspend;
end^

/*
 * The accounts list, one row per account in code order.
 *   ej      fiscal year of the balances; 0 leaves every amount 0 (nothing is summed)
 *   pimp    -1 all accounts, 1 imputable only
 *   pclase  -1 all classes, else that class
 *   psec    0 all, 1..9 only the accounts under the level-1 account of that number
 *   anywhere, texto  search: texto (upper case) anywhere in the name when anywhere = 1; else
 *           the name starting with it, the abbreviation equal to it or the display code
 *           starting with it. Empty texto: no search.
 * INICIO opening balance of the year, DEBE/HABER/SALDO the year's other movements, FINAL the
 * stored balance of table balance (pGenBalance); group accounts sum their subtree. SUBCTAS
 * counts the whole subtree below the account.
 */
create or alter procedure pbrcuentas (ej integer, pimp integer, pclase integer, psec integer,
                                      anywhere integer, texto varchar(60))
returns (NRO integer, COD varchar(20), CUENTA varchar(60), CUENTA2 varchar(80),
         MONEDA varchar(20), FULLPATH varchar(255), NIV integer, AJU integer, SUBCTAS integer,
         CLASE integer, SCLASE varchar(4), IDAUX integer, IMP integer, INICIO numeric(18,2),
         DEBE numeric(18,2), HABER numeric(18,2), SALDO numeric(18,2), FINAL numeric(18,2),
         TOKEN varchar(5))
as
declare variable icod varchar(20);
declare variable scod varchar(20);
declare variable s_ini numeric(18,2);
declare variable s_deb numeric(18,2);
declare variable s_hab numeric(18,2);
declare variable s_fin numeric(18,2);
declare variable s_n integer;
declare variable have_s smallint = 0;
declare variable sec varchar(4) = '';
declare variable ucta varchar(60);
declare c_sums cursor for (
  select acod, sum(ini) as ini, sum(deb) as deb, sum(hab) as hab, sum(fin) as fin,
         sum(nsub) as nsub
    from pBrSums(:ej) group by acod order by acod);
begin
  texto = upper(trim(coalesce(texto, '')));
  if (psec between 1 and 9) then sec = '000' || psec;

  open c_sums;
  fetch c_sums into :scod, :s_ini, :s_deb, :s_hab, :s_fin, :s_n;
  if (row_count > 0) then have_s = 1;

  for select trim(cod), coalesce(nro, 0), coalesce(cuenta, ''), coalesce(moneda, ''),
             coalesce(ajus, 0), coalesce(clase, 0), coalesce(idaux, 0), coalesce(imp, 0),
             coalesce(token, '')
        from cuentas
        where (:pimp <> 1 or imp = 1)
          and (:pclase = -1 or clase = :pclase)
          and cod starting with :sec
        order by cod
        into :icod, :nro, :cuenta, :moneda, :aju, :clase, :idaux, :imp, :token do
  begin
    while (have_s = 1 and scod < icod) do
    begin
      fetch c_sums into :scod, :s_ini, :s_deb, :s_hab, :s_fin, :s_n;
      if (row_count = 0) then have_s = 0;
    end

    cod = fCodDisplay(icod);
    ucta = upper(cuenta);
    if (texto = ''
        or (anywhere = 1 and ucta containing texto)
        or (anywhere <> 1 and (ucta starting with texto or upper(token) = texto
                               or cod starting with texto))) then
    begin
      if (have_s = 1 and scod = icod) then
      begin
        inicio = s_ini; debe = s_deb; haber = s_hab; final = s_fin; subctas = s_n;
      end
      else
      begin
        inicio = 0; debe = 0; haber = 0; final = 0; subctas = 0;
      end
      saldo = debe - haber;
      cuenta2 = cuenta;
      fullpath = fCtaPath(icod);
      niv = char_length(icod) / 4;
      sclase = decode(clase, 0, 'GEN', 1, 'PROV', 2, 'CLI', 3, 'ALU', '');
      suspend;
    end
  end
  close c_sums;
end^

/* Lines of the years the selector covers: only that year, or the ticked ones. */
create or alter procedure pSelEjs (sel integer)
returns (id integer, descrip varchar(40), fech1 date, fech2 date, suc integer, ultfac integer,
         idrefun integer, idcierre integer)
as
begin
  for select id, descrip, fech1, fech2, coalesce(suc, 0), coalesce(ultfac, 0),
             coalesce(idrefun, 0), coalesce(idcierre, 0)
        from ejerc
        where (:sel > 0 and id = :sel) or (:sel = 0 and activ = '+')
        order by id
        into :id, :descrip, :fech1, :fech2, :suc, :ultfac, :idrefun, :idcierre do
    suspend;
end^

/* The ledger of one account (internal code) for the years of the selector, in date order
   (then year, entry number, line number) with the running balance. Lines are found through
   the (cod, fecha) index and sorted, never read in index order. */
create or alter procedure pMayor (pcod varchar(20), sel integer)
returns (FECH date, IDEJ integer, NRO integer, DESCRIPASI varchar(60), DETALL varchar(30),
         DEBE numeric(18,2), HABER numeric(18,2), SALDO numeric(18,2), IDASI integer,
         IDTIP integer, CLASE integer, IDAUX integer, COLEG integer, NREC integer)
as
declare variable dh char(1);
declare variable imp numeric(18,2);
begin
  pcod = trim(pcod);
  saldo = 0;
  for select p.fecha, p.idej, a.num, a.descrip, p.detalle, p.dh, p.importe, p.idasi,
             coalesce(a.idtip, 0), coalesce(a.clase, 0), coalesce(a.idaux, 0),
             coalesce(a.colegio, 0), coalesce(a.nrec, 0)
        from pases p
        join asientos a on a.id = p.idasi
        where p.cod = :pcod
          and ((:sel > 0 and p.idej = :sel)
               or (:sel = 0 and p.idej in (select e.id from ejerc e where e.activ = '+')))
        order by p.fecha, p.idej, a.num, p.nro, p.id
        into :fech, :idej, :nro, :descripasi, :detall, :dh, :imp, :idasi,
             :idtip, :clase, :idaux, :coleg, :nrec do
  begin
    if (dh = 'D') then
    begin
      debe = imp; haber = 0;
    end
    else
    begin
      debe = 0; haber = imp;
    end
    saldo = saldo + debe - haber;
    suspend;
  end
end^

/* Totals of the lines pMayor lists: one row, zeros when there is none. */
create or alter procedure pSaldosMayor (pcod varchar(20), sel integer)
returns (DEBE numeric(18,2), HABER numeric(18,2), SALDO numeric(18,2))
as
begin
  pcod = trim(pcod);
  select coalesce(sum(iif(p.dh = 'D', p.importe, 0)), 0),
         coalesce(sum(iif(p.dh = 'D', 0, p.importe)), 0)
    from pases p
    where p.cod = :pcod
      and ((:sel > 0 and p.idej = :sel)
           or (:sel = 0 and p.idej in (select e.id from ejerc e where e.activ = '+')))
    into :debe, :haber;
  saldo = debe - haber;
  suspend;
end^

/* One row per year of the selector with the balances of the account and its whole subtree
   (a group account sums its subaccounts): SAL0 opening, DEB1/HAB1 the other movements,
   SAL1 = DEB1 - HAB1, SAL2 = SAL0 + SAL1 the final balance. */
create or alter procedure pSaldos3 (pcod varchar(20), sel integer)
returns (EJ integer, DESCRIP varchar(40), FECH1 date, FECH2 date, SUC integer, ULTFAC integer,
         SAL0 numeric(18,2), SAL1 numeric(18,2), FULLDESCRIP varchar(60), SAL2 numeric(18,2),
         DEB1 numeric(18,2), HAB1 numeric(18,2))
as
declare variable idrefun integer;
declare variable idcierre integer;
begin
  pcod = trim(pcod);
  for select id, descrip, fech1, fech2, suc, ultfac, idrefun, idcierre from pSelEjs(:sel)
      into :ej, :descrip, :fech1, :fech2, :suc, :ultfac, :idrefun, :idcierre do
  begin
    select coalesce(sum(iif(p.nconcep = -1, iif(p.dh = 'D', p.importe, -p.importe), 0)), 0),
           coalesce(sum(iif(p.nconcep = -1 or p.dh <> 'D', 0, p.importe)), 0),
           coalesce(sum(iif(p.nconcep = -1 or p.dh = 'D', 0, p.importe)), 0)
      from pases p
      where p.cod starting with :pcod and p.idej = :ej and :pcod <> ''
      into :sal0, :deb1, :hab1;
    sal1 = deb1 - hab1;
    sal2 = sal0 + sal1;
    fulldescrip = fEjText(ej, fech1, fech2, descrip, idrefun, idcierre);
    suspend;
  end
end^

/* The same years as pSaldos3 for a display code (as pbrcuentas returns it), with SAL0 the
   account's whole balance in the year, subtree included: a sum other than 0 means the account
   carries a balance. */
create or alter procedure pSaldos (pcod varchar(30), sel integer)
returns (EJ integer, DESCRIP varchar(40), FECH1 date, FECH2 date, SUC integer, ULTFAC integer,
         SAL0 numeric(18,2))
as
begin
  for select ej, descrip, fech1, fech2, suc, ultfac, sal2
        from pSaldos3(fCodInterno(:pcod), :sel)
        into :ej, :descrip, :fech1, :fech2, :suc, :ultfac, :sal0 do
    suspend;
end^

/* Rebuilds table balance: one row per fiscal year and code that has lines, holding the sum of
   those lines (debit positive). Returns in CNT how many rows it inserted, changed or removed,
   so 0 means the stored balances were right. */
create or alter procedure pGenBalance
returns (CNT integer)
as
declare variable ej integer;
declare variable c varchar(20);
declare variable fin numeric(18,2);
declare variable old numeric(18,2);
declare variable n integer;
declare variable total integer;
declare variable matched integer = 0;
begin
  cnt = 0;
  select count(*) from balance into :total;

  /* No index leads with (idej, cod): a scan of all lines and one sort, never an index walk
     (0.7 s for 400 000 lines). */
  for select idej, cod, sum(iif(dh = 'D', importe, -importe))
        from pases
        group by idej, cod
        into :ej, :c, :fin do
  begin
    n = 0; old = null;
    select count(*), max(final) from balance where idej = :ej and cod = :c into :n, :old;
    matched = matched + n;
    if (n = 0) then
    begin
      insert into balance (idej, cod, final) values (:ej, :c, :fin);
      cnt = cnt + 1;
    end
    else if (n > 1 or old is null or old <> fin) then
    begin
      delete from balance where idej = :ej and cod = :c;
      insert into balance (idej, cod, final) values (:ej, :c, :fin);
      cnt = cnt + 1;
    end
  end

  /* Rows left for codes or years that no longer have lines. */
  if (total > matched) then
  begin
    delete from balance b
      where not exists (select 1 from pases p where p.cod = b.cod and p.idej + 0 = b.idej);
    cnt = cnt + row_count;
  end
  suspend;
end^

set term ; ^
commit;
