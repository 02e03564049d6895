/*
 * Demo company: a year of journal entries in its first fiscal year (2026), on the standard
 * chart of 010_chart.sql. The opening entry, then every month the same rhythm a small
 * distributor has: sales on account and in cash, collections, purchases of goods with their
 * VAT, payments to the provider, rent, wages, bank charges and interest, cash deposits. Amounts grow a little
 * month by month so the ledgers and balances are not flat.
 *
 * The entries get their numbers and fingerprints from pReenum at the end, the same rule the
 * program applies, so every entry's fingerprint matches its lines.
 */
set term ^ ;

execute block as
declare variable ej integer;
declare variable m integer;
declare variable k integer;
declare variable f date;
declare variable id integer;
declare variable n integer = 0;
declare variable venta numeric(18,2);
declare variable compra numeric(18,2);
declare variable iva numeric(18,2);
declare variable mes varchar(12);
begin
  select min(id) from ejerc into :ej;

  /* Opening entry (idaux -1; its lines carry nconcep -1). */
  insert into asientos (idej, num, fecha, descrip, idaux)
    values (:ej, 1, '2026-01-01', 'Asiento de apertura', -1) returning id into :id;
  insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha, nconcep)
    values (:id, :ej, 1, '0001000100010001', 'D', 350000.00, 'Saldo inicial', '2026-01-01', -1);
  insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha, nconcep)
    values (:id, :ej, 2, '0001000100010002', 'D', 1850000.00, 'Saldo inicial', '2026-01-01', -1);
  insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha, nconcep)
    values (:id, :ej, 3, '0001000100060001', 'D', 1200000.00, 'Existencia inicial', '2026-01-01', -1);
  insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha, nconcep)
    values (:id, :ej, 4, '0003000100010001', 'C', 3000000.00, '', '2026-01-01', -1);
  insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha, nconcep)
    values (:id, :ej, 5, '0003000100010004', 'C', 400000.00, '', '2026-01-01', -1);

  m = 1;
  while (m <= 12) do
  begin
    mes = decode(m, 1, 'enero', 2, 'febrero', 3, 'marzo', 4, 'abril', 5, 'mayo', 6, 'junio',
                 7, 'julio', 8, 'agosto', 9, 'septiembre', 10, 'octubre', 11, 'noviembre',
                 'diciembre');
    /* Two sales on account and their collection the following week. */
    k = 1;
    while (k <= 2) do
    begin
      f = dateadd(day, 3 + (k - 1) * 12, cast('2026-' || m || '-01' as date));
      venta = 420000.00 + m * 13500.00 + k * 7250.50;
      insert into asientos (idej, fecha, descrip)
        values (:ej, :f, 'Venta s/Fact. A 0001-' || lpad(:m * 10 + :k, 8, '0') || ' Clientes Varios')
        returning id into :id;
      insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha)
        values (:id, :ej, 1, '0001000100080001', 'D', :venta, 'Fact. A ' || lpad(:m * 10 + :k, 8, '0'), :f);
      insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha)
        values (:id, :ej, 2, '0004000100010001', 'C', :venta, '', :f);

      f = dateadd(day, 7, f);
      insert into asientos (idej, fecha, descrip)
        values (:ej, :f, 'Cobranza Recibo ' || lpad(:m * 10 + :k, 5, '0') || ' Clientes Varios')
        returning id into :id;
      insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha)
        values (:id, :ej, 1, '0001000100010002', 'D', :venta, 'Depósito', :f);
      insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha)
        values (:id, :ej, 2, '0001000100080001', 'C', :venta, 'Fact. A ' || lpad(:m * 10 + :k, 8, '0'), :f);
      k = k + 1;
    end

    /* Counter sales in cash, deposited at the end of the month. */
    f = cast('2026-' || m || '-15' as date);
    venta = 85000.00 + m * 2150.00;
    insert into asientos (idej, fecha, descrip)
      values (:ej, :f, 'Ventas de mostrador de ' || :mes) returning id into :id;
    insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha)
      values (:id, :ej, 1, '0001000100010001', 'D', :venta, 'Planilla de caja', :f);
    insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha)
      values (:id, :ej, 2, '0004000100010001', 'C', :venta, '', :f);

    /* Purchase of goods with VAT 21 %, paid by transfer ten days later. */
    f = cast('2026-' || m || '-06' as date);
    compra = 260000.00 + m * 9800.00;
    iva = compra * 21 / 100;
    insert into asientos (idej, fecha, descrip)
      values (:ej, :f, 'Compra s/Fact. A 0003-' || lpad(:m * 7, 8, '0') || ' Proveedores Varios')
      returning id into :id;
    insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha)
      values (:id, :ej, 1, '0001000100060001', 'D', :compra, 'Mercadería', :f);
    insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha)
      values (:id, :ej, 2, '0001000100040003', 'D', :iva, 'IVA 21%', :f);
    insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha)
      values (:id, :ej, 3, '0002000100080001', 'C', :compra + :iva, 'Fact. A ' || lpad(:m * 7, 8, '0'), :f);

    f = dateadd(day, 10, f);
    insert into asientos (idej, fecha, descrip)
      values (:ej, :f, 'Pago Orden ' || lpad(:m, 4, '0') || ' Proveedores Varios') returning id into :id;
    insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha)
      values (:id, :ej, 1, '0002000100080001', 'D', :compra + :iva, 'Fact. A ' || lpad(:m * 7, 8, '0'), :f);
    insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha)
      values (:id, :ej, 2, '0001000100010002', 'C', :compra + :iva, 'Transferencia', :f);

    /* Rent, wages and bank charges, then the month's interest on the fixed deposit. */
    f = cast('2026-' || m || '-05' as date);
    insert into asientos (idej, fecha, descrip)
      values (:ej, :f, 'Alquiler del local, ' || :mes) returning id into :id;
    insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha)
      values (:id, :ej, 1, '0004000200020001', 'D', 180000.00, 'Alquiler', :f);
    insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha)
      values (:id, :ej, 2, '0001000100010002', 'C', 180000.00, 'Débito automático', :f);

    f = dateadd(day, -1, dateadd(month, 1, cast('2026-' || m || '-01' as date)));
    insert into asientos (idej, fecha, descrip)
      values (:ej, :f, 'Sueldos y cargas sociales de ' || :mes) returning id into :id;
    insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha)
      values (:id, :ej, 1, '0004000200020001', 'D', 310000.00 + :m * 1500.00, 'Sueldos', :f);
    insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha)
      values (:id, :ej, 2, '0004000200020001', 'D', 74400.00 + :m * 360.00, 'Cargas sociales', :f);
    insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha)
      values (:id, :ej, 3, '0001000100010002', 'C', 384400.00 + :m * 1860.00, 'Transferencias', :f);

    insert into asientos (idej, fecha, descrip)
      values (:ej, :f, 'Gastos e intereses bancarios de ' || :mes) returning id into :id;
    insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha)
      values (:id, :ej, 1, '0004000200020001', 'D', 4350.75, 'Mantenimiento de cuenta', :f);
    insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha)
      values (:id, :ej, 2, '0001000100010002', 'D', 12250.00 + :m * 120.00 - 4350.75, 'Neto acreditado', :f);
    insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha)
      values (:id, :ej, 3, '0004000100010002', 'C', 12250.00 + :m * 120.00, 'Plazo fijo', :f);

    /* Cash deposit of the counter sales. */
    insert into asientos (idej, fecha, descrip)
      values (:ej, :f, 'Depósito de efectivo de ' || :mes) returning id into :id;
    insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha)
      values (:id, :ej, 1, '0001000100010002', 'D', 80000.00, 'Boleta de depósito', :f);
    insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha)
      values (:id, :ej, 2, '0001000100010001', 'C', 80000.00, '', :f);
    m = m + 1;
  end

  /* One standard entry, to show the template editor. */
  insert into tipasi (descrip) values ('Pago de alquiler') returning id into :id;
  insert into tippase (idtipasi, cod, dh, concepto) values (:id, '0004000200020001', 'D', 'Alquiler');
  insert into tippase (idtipasi, cod, dh, concepto) values (:id, '0001000100010002', 'C', 'Banco');
  insert into tippase (idtipasi, cod, dh, concepto) values (:id, '0001000100010001', 'C', 'Efectivo');

  /* Numbers by date and the fingerprints, by the program's own rule. */
  select result from pReenum(:ej, 1, 1) into :n;
end^

set term ; ^
commit;
