/*
 * Demo company (demo0.fdb): runs over a copy of the empty company, so the company row and
 * its billing concepts are already there. Files in this folder run in name order; later ones
 * add the chart, entries, vouchers and indexes.
 */

update empresa set
  nombre    = 'Distribuidora La Pampeña S.A.',
  domicilio = 'Av. Corrientes 1847, piso 3º',
  ciudad    = 'Ciudad Autónoma de Buenos Aires',
  codpostal = 'C1045AAB',
  telefonos = '(011) 4371-5820',
  cuit      = '30-71548237-8',
  ingbrut   = '901-715482-3',
  ganancias = '30-71548237-8',
  obs       = 'Empresa de demostración',
  logo      = '',
  email     = 'administracion@lapampena.com.ar',
  sucursal  = 1;

insert into ejerc (descrip, fech1, fech2, activ)
  values ('Ejercicio 2026', '2026-01-01', '2026-12-31', '-');

commit;
