/*
 * Demo company: billing setup of both sides, operation types, and a few providers and
 * customers with valid CUITs. Runs after the standard chart (010_chart.sql).
 *
 * Concept lists keep their stored layout: names 20 characters each in name order (Total
 * first), rates 4 digits (2100 = 21.00 %), verification flags, then accounts (20 characters
 * each) and sides in account order (concept 1 first, Total last).
 */

/* The sales side needs the tax debts the standard chart does not carry. */
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('000200010003', 'DEUDAS FISCALES', 0, 0, 0, 0);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0002000100030001', 'IVA Débito Fiscal', 0, 0, 0, 1);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0002000100030002', 'Ing.Brutos Percepciones a Depositar', 0, 0, 0, 1);

/* Purchases: VAT 21 % and 10.5 %, VAT perception 3 % suffered; Neto from the Total typed. */
update empresa set
  cconceptos =
    'Total               ' || 'Neto gravado        ' || 'IVA 21%             ' ||
    'IVA 10.5%           ' || 'Imp. Internos       ' || 'Ret. IVA            ' ||
    'Perc. IVA           ' || 'Ret. Ing. Brutos    ' || 'Perc. Ing. Brutos   ' ||
    'Otros Impuestos     ' || 'Otros Conceptos     ' || 'Neto no gravado     ',
  calicuotas =
    '0000' || '0000' || '2100' || '1050' || '0000' || '0000' ||
    '0300' || '0000' || '0000' || '0000' || '0000' || '0000',
  ccalculo = '001111111110',
  ccodigos =
    rpad('0001000100060001', 20) ||  /* 1 Neto gravado: Mercaderías */
    rpad('0001000100040003', 20) ||  /* 2 IVA 21%: IVA Crédito Fiscal */
    rpad('0001000100040003', 20) ||  /* 3 IVA 10.5% */
    rpad('0004000200020001', 20) ||  /* 4 Imp. Internos: Gastos Varios */
    rpad('', 20) ||                  /* 5 Ret. IVA: not a withholding agent */
    rpad('0001000100040014', 20) ||  /* 6 Perc. IVA: IVA C.F. Percepciones */
    rpad('', 20) ||                  /* 7 Ret. Ing. Brutos */
    rpad('0001000100040017', 20) ||  /* 8 Perc. Ing. Brutos: Ing.Brutos Percepciones */
    rpad('0004000200020001', 20) ||  /* 9 Otros Impuestos */
    rpad('0004000200020001', 20) ||  /* 10 Otros Conceptos */
    rpad('0001000100060001', 20) ||  /* 11 Neto no gravado */
    rpad('0002000100080001', 20),    /* 12 Total: Proveedores Varios */
  cdeha = 'DDDDDDDDDDDC',
  cmodo = 0;

/* Sales: VAT 21 % and 10.5 %, gross-income perception 3 % charged; Total from the Neto. */
update empresa set
  vconceptos =
    'Total               ' || 'Neto gravado        ' || 'IVA 21%             ' ||
    'IVA 10.5%           ' || 'Imp. Internos       ' || 'Ret. IVA            ' ||
    'Perc. IVA           ' || 'Ret. Ing. Brutos    ' || 'Perc. Ing. Brutos   ' ||
    'Otros Impuestos     ' || 'Otros Conceptos     ' || 'Neto no gravado     ',
  valicuotas =
    '0000' || '0000' || '2100' || '1050' || '0000' || '0000' ||
    '0000' || '0000' || '0300' || '0000' || '0000' || '0000',
  vcalculo = '001111111110',
  vcodigos =
    rpad('0004000100010001', 20) ||  /* 1 Neto gravado: Ventas de Mercaderías */
    rpad('0002000100030001', 20) ||  /* 2 IVA 21%: IVA Débito Fiscal */
    rpad('0002000100030001', 20) ||  /* 3 IVA 10.5% */
    rpad('', 20) ||                  /* 4 Imp. Internos */
    rpad('0001000100040012', 20) ||  /* 5 Ret. IVA suffered: IVA C.F. Retenciones */
    rpad('', 20) ||                  /* 6 Perc. IVA */
    rpad('0001000100040015', 20) ||  /* 7 Ret. Ing. Brutos suffered */
    rpad('0002000100030002', 20) ||  /* 8 Perc. Ing. Brutos to pay in */
    rpad('0004000100010008', 20) ||  /* 9 Otros Impuestos: Ingresos Varios */
    rpad('0004000100010008', 20) ||  /* 10 Otros Conceptos */
    rpad('0004000100010001', 20) ||  /* 11 Neto no gravado */
    rpad('0001000100080001', 20),    /* 12 Total: Clientes Varios */
  vdeha = 'CCCCDCDCCCCD',
  vmodo = 1;

/* Operation types. */
insert into tipoper (tip, descrip) values ('C', 'Compra de mercaderías');
insert into tipoper (tip, descrip) values ('C', 'Servicios contratados');
insert into tipoper (tip, descrip) values ('C', 'Gastos generales');
insert into tipoper (tip, descrip) values ('V', 'Venta mayorista');
insert into tipoper (tip, descrip) values ('V', 'Venta minorista');

/* Providers under 2.1.8 PROVEEDORES. The Total of each one's vouchers goes to its own
   account (last field of codigos); the other ticked concepts use the company's accounts. */
insert into auxctas (respiva, doc, dom, loc, provincia, cp, tel, ib, gan, contacto, email, web,
                     porib, codigos, calc, activ, deha, idtipoper)
  values ('RI', '30-69874512-2', 'Av. San Martín 2350', 'Rosario', 'Santa Fe', 'S2000', '(0341) 448-2210',
          '921-698745-1', '30-69874512-2', 'Marcela Ríos', 'ventas@distnorte.com.ar', 'www.distnorte.com.ar',
          0, rpad('', 220) || rpad('0002000100080002', 20), 0, '111000000001', 'DDDDDDDDDDDC',
          (select id from tipoper where tip = 'C' and descrip = 'Compra de mercaderías'));
insert into cuentas (cod, cuenta, token, ajus, idaux, clase, imp)
  values ('0002000100080002', 'Distribuidora Norte S.A.', 'DNORT', 0, (select max(id) from auxctas), 1, 1);

insert into auxctas (respiva, doc, dom, loc, provincia, cp, tel, ib, gan, contacto, email, web,
                     porib, codigos, calc, activ, deha, idtipoper)
  values ('RI', '30-71623409-2', 'Calle 12 Nº 845', 'La Plata', 'Buenos Aires', 'B1900', '(0221) 427-3361',
          '30-71623409-2', '30-71623409-2', 'Jorge Medina', 'administracion@papeleradelsur.com.ar', '',
          350, rpad('', 220) || rpad('0002000100080003', 20), 0, '110001010001', 'DDDDDDDDDDDC',
          (select id from tipoper where tip = 'C' and descrip = 'Gastos generales'));
insert into cuentas (cod, cuenta, token, ajus, idaux, clase, imp)
  values ('0002000100080003', 'Papelera del Sur S.R.L.', 'PAPSU', 0, (select max(id) from auxctas), 1, 1);

insert into auxctas (respiva, doc, dom, loc, provincia, cp, tel, ib, gan, contacto, email, web,
                     porib, codigos, calc, activ, deha, idtipoper)
  values ('MT', '20-28476321-2', 'Pasaje Los Aromos 77', 'Avellaneda', 'Buenos Aires', 'B1870', '(011) 4201-5598',
          '', '', 'Raúl Gómez', 'fletesgomez@gmail.com', '',
          0, rpad('', 220) || rpad('0002000100080004', 20), 2, '000000000011', 'DDDDDDDDDDDC',
          (select id from tipoper where tip = 'C' and descrip = 'Servicios contratados'));
insert into cuentas (cod, cuenta, token, ajus, idaux, clase, imp)
  values ('0002000100080004', 'Fletes Gómez', 'FGOME', 0, (select max(id) from auxctas), 1, 1);

/* Customers under 1.1.8 CLIENTES. */
insert into auxctas (respiva, doc, dom, loc, provincia, cp, tel, ib, gan, contacto, email, web,
                     porib, codigos, calc, activ, deha, idtipoper)
  values ('RI', '30-70123456-8', 'Ruta 5 km 42', 'Luján', 'Buenos Aires', 'B6700', '(02323) 43-9100',
          '30-70123456-8', '30-70123456-8', 'Compras: Silvia Herrera', 'compras@eltrebol.com.ar', 'www.eltrebol.com.ar',
          300, rpad('', 220) || rpad('0001000100080002', 20), 1, '110000010001', 'CCCCCCCCCCCD',
          (select id from tipoper where tip = 'V' and descrip = 'Venta mayorista'));
insert into cuentas (cod, cuenta, token, ajus, idaux, clase, imp)
  values ('0001000100080002', 'Supermercados El Trébol S.A.', 'TREBO', 0, (select max(id) from auxctas), 2, 1);

insert into auxctas (respiva, doc, dom, loc, provincia, cp, tel, ib, gan, contacto, email, web,
                     porib, codigos, calc, activ, deha, idtipoper)
  values ('RI', '30-71456789-2', 'Av. Costanera 1200', 'San Carlos de Bariloche', 'Río Negro', 'R8400', '(0294) 442-7781',
          '30-71456789-2', '30-71456789-2', 'Lucía Fernández', 'proveeduria@losalamos.com.ar', '',
          0, rpad('', 220) || rpad('0001000100080003', 20), 1, '111000000001', 'CCCCCCCCCCCD',
          (select id from tipoper where tip = 'V' and descrip = 'Venta mayorista'));
insert into cuentas (cod, cuenta, token, ajus, idaux, clase, imp)
  values ('0001000100080003', 'Hotel Los Álamos S.R.L.', 'ALAMO', 0, (select max(id) from auxctas), 2, 1);

insert into auxctas (respiva, doc, dom, loc, provincia, cp, tel, ib, gan, contacto, email, web,
                     porib, codigos, calc, activ, deha, idtipoper)
  values ('MT', '20-24681357-5', 'Belgrano 415', 'Mercedes', 'Buenos Aires', 'B6600', '(02324) 42-1187',
          '', '', 'Pedro Alonso', '', '',
          0, rpad('', 220) || rpad('0001000100080004', 20), 1, '110000000001', 'CCCCCCCCCCCD',
          (select id from tipoper where tip = 'V' and descrip = 'Venta minorista'));
insert into cuentas (cod, cuenta, token, ajus, idaux, clase, imp)
  values ('0001000100080004', 'Almacén Don Pedro', 'DPEDR', 0, (select max(id) from auxctas), 2, 1);

commit;
