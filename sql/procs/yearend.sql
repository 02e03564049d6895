/*
 * Year end: the result-closing entry (refundición) and the closing entry (cierre) of a fiscal
 * year. Re-runnable: every object is `create or alter`.
 *
 * Both procedures write an ordinary entry of the year (header + lines + fingerprint) and return
 * its id in IDAS with an empty RESULT, or IDAS 0 and the reason in RESULT, having written
 * nothing. The caller records IDAS in ejerc (idrefun / idcierre) in the same transaction.
 * Balances are taken over the whole year as its entries stand, leaving out the year's own
 * closing entry (so generating the refundición again after deleting it and keeping the closing
 * entry still sees the year's movements).
 */
set term ^ ;

/*
 * The checks both closings share: the year exists, the date text ("mm/dd/yyyy") is a date
 * inside it. Returns the date, the year's closing ids, and RESULT empty or the reason.
 */
create or alter procedure pCierreValida (
  idej integer,
  fecha_txt varchar(20))
returns (fecha date, idrefun integer, idcierre integer, result varchar(250))
as
declare variable fech1 date;
declare variable fech2 date;
begin
  result = '';
  fecha = null;
  if (not exists (select 1 from ejerc where id = :idej)) then
  begin
    result = 'El ejercicio no existe.';
    suspend;
    exit;
  end
  select fech1, fech2, coalesce(idrefun, 0), coalesce(idcierre, 0) from ejerc where id = :idej
    into :fech1, :fech2, :idrefun, :idcierre;
  begin
    fecha = cast(fecha_txt as date);
    when any do fecha = null;
  end
  if (fecha is null or fecha < fech1 or fecha > fech2) then
    result = 'La fecha debe corresponder al ejercicio.';
  suspend;
end^

/*
 * Writes into entry IDAS one line per account starting with PREFIJO (and longer than it) that
 * has a balance in year IDEJ, on the opposite side, leaving out the entries IDAS and EXCLUIR.
 * Returns the lines written, the sum of their ids, their debit total and the net balance they
 * cancelled (debit positive).
 */
create or alter procedure pCierrePases (
  idas integer,
  idej integer,
  fecha date,
  prefijo varchar(20),
  excluir integer)
returns (nro integer, checksum integer, debe numeric(18,2), neto numeric(18,2))
as
declare variable cod varchar(20);
declare variable saldo numeric(18,2);
declare variable idpase integer;
begin
  nro = 0;
  checksum = 0;
  debe = 0;
  neto = 0;
  for select p.cod, sum(iif(p.dh = 'D', p.importe, -p.importe))
        from pases p
        where p.idej = :idej and p.idasi <> :idas and p.idasi <> coalesce(:excluir, 0)
          and p.cod starting with :prefijo and char_length(p.cod) > char_length(:prefijo)
        group by p.cod
        having sum(iif(p.dh = 'D', p.importe, -p.importe)) <> 0
        order by p.cod
      into :cod, :saldo do
  begin
    nro = nro + 1;
    insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha, nconcep)
      values (:idas, :idej, :nro, :cod, iif(:saldo > 0, 'C', 'D'), abs(:saldo), '', :fecha, 0)
      returning id into :idpase;
    checksum = checksum + idpase;
    if (saldo < 0) then debe = debe - saldo;
    neto = neto + saldo;
  end
  suspend;
end^

/* A new entry header of the year, numbered after its last entry. */
create or alter procedure pCierreCabecera (
  idej integer,
  fecha date,
  descrip varchar(60))
returns (idas integer)
as
declare variable num integer;
begin
  select coalesce(max(num), 0) + 1 from asientos where idej = :idej into :num;
  insert into asientos (idej, num, fecha, descrip, clase, idaux, idtip)
    values (:idej, :num, :fecha, :descrip, 0, 0, 0)
    returning id into :idas;
  suspend;
end^

/*
 * pAsRefun(year, 'mm/dd/yyyy', results group account, result account):
 * one line per account below the group with a balance, on the opposite side, and the net on
 * the result account (debit for a loss, credit for a profit).
 */
create or alter procedure pAsRefun (
  idej integer,
  fecha_txt varchar(20),
  codgp varchar(20),
  codresul varchar(20))
returns (idas integer, result varchar(250))
as
declare variable fecha date;
declare variable idrefun integer;
declare variable idcierre integer;
declare variable nro integer;
declare variable checksum integer;
declare variable debe numeric(18,2);
declare variable neto numeric(18,2);
declare variable idpase integer;
/* The update tools send this text without a character set: accented letters are spelled in
   bytes so the stored procedure is the same however it was loaded. */
declare variable o_acute varchar(1) character set utf8 = _utf8 x'C3B3';
begin
  idas = 0;
  codgp = trim(coalesce(codgp, ''));
  codresul = trim(coalesce(codresul, ''));

  select fecha, idrefun, idcierre, result from pCierreValida(:idej, :fecha_txt)
    into :fecha, :idrefun, :idcierre, :result;
  if (result = '' and idrefun <> 0) then
    result = 'El asiento de refundici' || o_acute || 'n ya fue creado.';
  else if (result = '' and (codgp = '' or not exists (select 1 from cuentas where cod = :codgp and imp = 0))) then
    result = 'Debe elegir una cuenta de grupo Resultados existente.';
  else if (result = '' and (codresul = '' or not exists (select 1 from cuentas where cod = :codresul and imp = 1))) then
    result = 'Debe elegir una cuenta Resultado del Ejercicio imputable existente.';
  else if (result = '' and codresul starting with codgp) then
    result = 'La cuenta Resultado del Ejercicio no puede pertenecer al grupo Resultados.';
  else if (result = '' and not exists (
        select 1 from pases p
        where p.idej = :idej and p.idasi <> :idcierre
          and p.cod starting with :codgp and char_length(p.cod) > char_length(:codgp)
        group by p.cod
        having sum(iif(p.dh = 'D', p.importe, -p.importe)) <> 0)) then
    result = 'Las cuentas de resultado no tienen saldo en el ejercicio.';
  if (result <> '') then
  begin
    suspend;
    exit;
  end

  /* Two users closing the same year at once: the second waits here and then fails on the
     year's row instead of writing a second entry. */
  update ejerc set idrefun = idrefun where id = :idej;

  select idas from pCierreCabecera(:idej, :fecha, 'Refundici' || :o_acute || 'n de Cuentas de Resultado')
    into :idas;
  select nro, checksum, debe, neto from pCierrePases(:idas, :idej, :fecha, :codgp, :idcierre)
    into :nro, :checksum, :debe, :neto;

  if (neto <> 0) then
  begin
    nro = nro + 1;
    insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha, nconcep)
      values (:idas, :idej, :nro, :codresul, iif(:neto > 0, 'D', 'C'), abs(:neto), '', :fecha, 0)
      returning id into :idpase;
    checksum = checksum + idpase;
    if (neto > 0) then debe = debe + neto;
  end

  update asientos set npas = :nro, checksum = :checksum, importe = :debe where id = :idas;
  suspend;
end^

/*
 * pAscierre(year, 'mm/dd/yyyy'): one line per account with a balance in the year, on the
 * opposite side, so every account ends at zero. Refused when the year's entries do not balance:
 * a closing entry that does not balance would carry the fault into the next year.
 */
create or alter procedure pAscierre (
  idej integer,
  fecha_txt varchar(20))
returns (idas integer, result varchar(250))
as
declare variable fecha date;
declare variable idrefun integer;
declare variable idcierre integer;
declare variable total numeric(18,2);
declare variable nro integer;
declare variable checksum integer;
declare variable debe numeric(18,2);
declare variable neto numeric(18,2);
begin
  idas = 0;
  select fecha, idrefun, idcierre, result from pCierreValida(:idej, :fecha_txt)
    into :fecha, :idrefun, :idcierre, :result;
  if (result = '' and idcierre <> 0) then
    result = 'El asiento de cierre ya fue creado.';
  if (result = '') then
  begin
    select sum(iif(dh = 'D', importe, -importe)) from pases where idej = :idej into :total;
    if (total is null or not exists (
          select 1 from pases p where p.idej = :idej
          group by p.cod having sum(iif(p.dh = 'D', p.importe, -p.importe)) <> 0)) then
      result = 'Las cuentas no tienen saldo en el ejercicio.';
    else if (total <> 0) then
      result = 'Los asientos del ejercicio no cierran (diferencia ' || abs(total) ||
               '). Revise los asientos.';
  end
  if (result <> '') then
  begin
    suspend;
    exit;
  end

  update ejerc set idcierre = idcierre where id = :idej;

  select idas from pCierreCabecera(:idej, :fecha, 'Asiento de Cierre') into :idas;
  select nro, checksum, debe, neto from pCierrePases(:idas, :idej, :fecha, '', 0)
    into :nro, :checksum, :debe, :neto;
  update asientos set npas = :nro, checksum = :checksum, importe = :debe where id = :idas;
  suspend;
end^

set term ; ^
commit;
