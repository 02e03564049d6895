/*
 * Demo company: the standard chart of accounts, as a new company gets it when it accepts the
 * offer, with the generic customer and provider and their customer/provider records.
 * Account ids follow insertion order; the two party records are the first of auxctas.
 */

insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0001', 'ACTIVO', 0, 0, 0, 0);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('00010001', 'ACTIVO CORRIENTE', 0, 0, 0, 0);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('000100010001', 'DISPONIBILIDADES', 0, 0, 0, 0);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0001000100010001', 'Caja', 0, 0, 0, 1);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0001000100010002', 'Banco', 0, 0, 0, 1);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('000100010006', 'BIENES DE CAMBIO', 0, 0, 0, 0);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0001000100060001', 'Mercaderías', 0, 0, 0, 1);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('000100010004', 'OTROS CREDITOS', 0, 0, 0, 0);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0001000100040003', 'IVA Crédito Fiscal', 0, 0, 0, 1);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0001000100040012', 'IVA C.F. Retenciones', 0, 0, 0, 1);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0001000100040014', 'IVA C.F. Percepciones', 0, 0, 0, 1);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0001000100040015', 'Ing.Brutos Retenciones', 0, 0, 0, 1);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0001000100040017', 'Ing.Brutos Percepciones', 0, 0, 0, 1);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('000100010008', 'CLIENTES', 0, 0, 0, 0);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0002', 'PASIVO', 0, 0, 0, 0);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('00020001', 'PASIVO CORRIENTE', 0, 0, 0, 0);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('000200010008', 'PROVEEDORES', 0, 0, 0, 0);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0003', 'PATRIMONIO NETO', 0, 0, 0, 0);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('00030001', 'PATRIMONIO NETO', 0, 0, 0, 0);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('000300010001', 'PATRIMONIO NETO', 0, 0, 0, 0);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0003000100010001', 'Capital Social', 0, 0, 0, 1);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0003000100010002', 'Ajustes al Capital', 0, 0, 0, 1);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0003000100010003', 'Ganancias Reservadas', 0, 0, 0, 1);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0003000100010004', 'Resultados no asignados', 0, 0, 0, 1);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0004', 'RESULTADOS', 0, 0, 0, 0);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('00040001', 'INGRESOS', 0, 0, 0, 0);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('000400010001', 'INGRESOS CORRIENTES', 0, 0, 0, 0);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0004000100010001', 'Ventas de Mercaderías', 0, 0, 0, 1);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0004000100010002', 'Intereses Percibidos', 0, 0, 0, 1);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0004000100010003', 'Descuentos Obtenidos', 0, 0, 0, 1);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0004000100010008', 'Ingresos Varios', 0, 0, 0, 1);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('00040002', 'EGRESOS', 0, 0, 0, 0);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('000400020001', 'AMORTIZACIONES', 0, 0, 0, 0);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0004000200010001', 'Amortizaciones del Ejercicio', 0, 0, 0, 1);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('000400020002', 'GASTOS', 0, 0, 0, 0);
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) values ('0004000200020001', 'Gastos Varios', 0, 0, 0, 1);

insert into auxctas (activ, deha, codigos) values ('000000000000', 'CCCCCCCCCCCD', rpad('', 240));
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp)
  values ('0001000100080001', 'Clientes Varios', 0, (select max(id) from auxctas), 2, 1);
insert into auxctas (activ, deha, codigos) values ('000000000000', 'DDDDDDDDDDDC', rpad('', 240));
insert into cuentas (cod, cuenta, ajus, idaux, clase, imp)
  values ('0002000100080001', 'Proveedores Varios', 0, (select max(id) from auxctas), 1, 1);

/* The demo company already has its chart: nothing left to offer. */
update empresa set nasiclase = 0;

commit;
