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
declare variable fech1 date;
declare variable fech2 date;
declare variable idrefun integer;
declare variable idcierre integer;
declare variable num integer;
declare variable cod varchar(20);
declare variable saldo numeric(18,2);
declare variable neto numeric(18,2) = 0;
declare variable debe numeric(18,2) = 0;
declare variable nro integer = 0;
declare variable idpase integer;
declare variable checksum integer = 0;
/* The update tools send this text without a character set: accented letters are spelled in
   bytes so the stored procedure is the same however it was loaded. */
declare variable o_acute varchar(1) character set utf8 = _utf8 x'C3B3';
begin
  idas = 0;
  result = '';
  codgp = trim(coalesce(codgp, ''));
  codresul = trim(coalesce(codresul, ''));

  if (not exists (select 1 from ejerc where id = :idej)) then
  begin
    result = 'El ejercicio no existe.';
    suspend;
    exit;
  end
  select fech1, fech2, idrefun, idcierre from ejerc where id = :idej
    into :fech1, :fech2, :idrefun, :idcierre;
  if (coalesce(idrefun, 0) <> 0) then
  begin
    result = 'El asiento de refundici' || o_acute || 'n ya fue creado.';
    suspend;
    exit;
  end

  begin
    fecha = cast(fecha_txt as date);
    when any do fecha = null;
  end
  if (fecha is null or fecha < fech1 or fecha > fech2) then
  begin
    result = 'La fecha debe corresponder al ejercicio.';
    suspend;
    exit;
  end

  if (codgp = '' or not exists (select 1 from cuentas where cod = :codgp and imp = 0)) then
  begin
    result = 'Debe elegir una cuenta de grupo Resultados existente.';
    suspend;
    exit;
  end
  if (codresul = '' or not exists (select 1 from cuentas where cod = :codresul and imp = 1)) then
  begin
    result = 'Debe elegir una cuenta Resultado del Ejercicio imputable existente.';
    suspend;
    exit;
  end
  if (codresul starting with codgp) then
  begin
    result = 'La cuenta Resultado del Ejercicio no puede pertenecer al grupo Resultados.';
    suspend;
    exit;
  end

  if (not exists (
        select 1 from pases p
        where p.idej = :idej and p.idasi <> coalesce(:idcierre, 0)
          and p.cod starting with :codgp and char_length(p.cod) > char_length(:codgp)
        group by p.cod
        having sum(iif(p.dh = 'D', p.importe, -p.importe)) <> 0)) then
  begin
    result = 'Las cuentas de resultado no tienen saldo en el ejercicio.';
    suspend;
    exit;
  end

  /* Two users closing the same year at once: the second waits here and then fails on the
     year's row instead of writing a second entry. */
  update ejerc set idrefun = idrefun where id = :idej;

  select coalesce(max(num), 0) + 1 from asientos where idej = :idej into :num;
  insert into asientos (idej, num, fecha, descrip, clase, idaux, idtip)
    values (:idej, :num, :fecha, 'Refundici' || :o_acute || 'n de Cuentas de Resultado', 0, 0, 0)
    returning id into :idas;

  for select p.cod, sum(iif(p.dh = 'D', p.importe, -p.importe))
        from pases p
        where p.idej = :idej and p.idasi <> coalesce(:idcierre, 0)
          and p.cod starting with :codgp and char_length(p.cod) > char_length(:codgp)
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
    if (saldo < 0) then debe = debe + abs(saldo);
    neto = neto + saldo;
  end

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
declare variable fech1 date;
declare variable fech2 date;
declare variable idcierre integer;
declare variable num integer;
declare variable cod varchar(20);
declare variable saldo numeric(18,2);
declare variable total numeric(18,2);
declare variable debe numeric(18,2) = 0;
declare variable nro integer = 0;
declare variable idpase integer;
declare variable checksum integer = 0;
begin
  idas = 0;
  result = '';

  if (not exists (select 1 from ejerc where id = :idej)) then
  begin
    result = 'El ejercicio no existe.';
    suspend;
    exit;
  end
  select fech1, fech2, idcierre from ejerc where id = :idej into :fech1, :fech2, :idcierre;
  if (coalesce(idcierre, 0) <> 0) then
  begin
    result = 'El asiento de cierre ya fue creado.';
    suspend;
    exit;
  end

  begin
    fecha = cast(fecha_txt as date);
    when any do fecha = null;
  end
  if (fecha is null or fecha < fech1 or fecha > fech2) then
  begin
    result = 'La fecha debe corresponder al ejercicio.';
    suspend;
    exit;
  end

  select sum(iif(dh = 'D', importe, -importe)) from pases where idej = :idej into :total;
  if (total is null or not exists (
        select 1 from pases p where p.idej = :idej
        group by p.cod having sum(iif(p.dh = 'D', p.importe, -p.importe)) <> 0)) then
  begin
    result = 'Las cuentas no tienen saldo en el ejercicio.';
    suspend;
    exit;
  end
  if (total <> 0) then
  begin
    result = 'Los asientos del ejercicio no cierran (diferencia ' || abs(total) ||
             '). Revise los asientos.';
    suspend;
    exit;
  end

  update ejerc set idcierre = idcierre where id = :idej;

  select coalesce(max(num), 0) + 1 from asientos where idej = :idej into :num;
  insert into asientos (idej, num, fecha, descrip, clase, idaux, idtip)
    values (:idej, :num, :fecha, 'Asiento de Cierre', 0, 0, 0)
    returning id into :idas;

  for select p.cod, sum(iif(p.dh = 'D', p.importe, -p.importe))
        from pases p
        where p.idej = :idej and p.idasi <> :idas
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
    if (saldo < 0) then debe = debe + abs(saldo);
  end

  update asientos set npas = :nro, checksum = :checksum, importe = :debe where id = :idas;
  suspend;
end^

set term ; ^
commit;
