/*
 * Company database, schema version 1.
 *
 * FROZEN once released: a company file in the field may already carry exactly this.
 * Change the schema by adding sql/schema/002_<what>.sql, never by editing this file.
 *
 * Conventions kept by every table:
 *  - key `id` filled by a before-insert trigger from the table's own generator whenever the
 *    insert leaves it out or passes 0; keys only grow and are never reused;
 *  - an integer left out of an insert reads 0 and a text reads '' (the program filters with
 *    `clase = 0`, concatenates texts and adds amounts without coalescing);
 *  - NOT NULL only where a null could only come from a bug (codes, year and entry links, amounts
 *    of lines); elsewhere an explicit null is the caller's business;
 *  - names that users read in sorted lists use UNICODE_ES (n < ñ < o, accents ignored first);
 *    account codes stay byte-ordered and compare without collation tricks.
 */

create collation UNICODE_ES for UTF8 from UNICODE 'LOCALE=es_ES';
commit;

/* Which numbered schema files a company file already carries: the update scripts read it. */
create table kesh_schema (
  version    integer default 0 not null
);

/* The company record: one row, inserted by the template. */
create table empresa (
  nombre       varchar(80)  default '',
  domicilio    varchar(80)  default '',
  ciudad       varchar(40)  default '',
  codpostal    varchar(12)  default '',
  telefonos    varchar(60)  default '',
  cuit         varchar(20)  default '',
  ingbrut      varchar(20)  default '',
  ganancias    varchar(20)  default '',
  obs          varchar(255) default '',
  logo         varchar(255) default '',
  email        varchar(80)  default '',
  sucursal     integer      default 0,
  nctasmode    integer      default 0,
  nasimode     integer      default 0,
  nasiclase    integer      default 0,
  desdecuenta  varchar(20)  default '',
  hastacuenta  varchar(20)  default '',
  desdefecha   date,
  hastafecha   date,
  nivel        integer      default 0,
  cconceptos   varchar(240) default '',
  vconceptos   varchar(240) default '',
  calicuotas   varchar(48)  default '',
  valicuotas   varchar(48)  default '',
  ccalculo     varchar(12)  default '',
  vcalculo     varchar(12)  default '',
  ccodigos     varchar(240) default '',
  vcodigos     varchar(240) default '',
  cdeha        varchar(12)  default '',
  vdeha        varchar(12)  default '',
  cmodo        integer      default 0,
  vmodo        integer      default 0
);

/* Fiscal years. A year with idrefun or idcierre set is closed. */
create table ejerc (
  id        integer not null primary key,
  descrip   varchar(40) default '' collate UNICODE_ES,
  fech1     date,
  fech2     date,
  activ     char(1)  default '-',
  suc       integer  default 0,
  ultfac    integer  default 0,
  idrefun   integer  default 0,
  idcierre  integer  default 0
);

/* Chart of accounts; the code (4 digits per level) is the tree. */
create table cuentas (
  id      integer not null primary key,
  cod     varchar(20) default '' not null,
  cuenta  varchar(60) default '' collate UNICODE_ES,
  token   varchar(5)  default '',
  imp     integer     default 0 not null,
  clase   integer     default 0 not null,
  ajus    integer     default 0,
  idaux   integer     default 0,
  moneda  varchar(20) default '',
  nro     integer     default 0
);
create unique index cuentas_cod on cuentas (cod);
create index cuentas_token on cuentas (token);

/* Journal entry headers. */
create table asientos (
  id        integer not null primary key,
  idej      integer default 0 not null,
  num       integer default 0 not null,
  fecha     date,
  fechav    date,
  descrip   varchar(60) default '' collate UNICODE_ES,
  clase     integer default 0,
  idaux     integer default 0,
  idtip     integer default 0,
  npas      integer default 0,
  checksum  integer default 0,
  importe   numeric(18,2) default 0,
  marca     integer default 0,
  colegio   integer default 0,
  nrec      integer default 0,
  concepto  varchar(60) default ''
);
create index asientos_ej_num on asientos (idej, num);
create index asientos_ej_fecha on asientos (idej, fecha);
create index asientos_idaux on asientos (idaux);

/* Journal entry lines; they point at accounts by code, not by id. */
create table pases (
  id       integer not null primary key,
  idasi    integer default 0 not null,
  idej     integer default 0 not null,
  nro      integer default 0,
  cod      varchar(20) default '' not null,
  dh       char(1) default '' not null,
  importe  numeric(18,2) default 0 not null,
  detalle  varchar(30) default '',
  fecha    date,
  fechav   date,
  nconcep  integer default 0,
  resta    integer default 0
);
create index pases_ej_asi on pases (idej, idasi);
create index pases_cod_fecha on pases (cod, fecha);
create index pases_idasi on pases (idasi);

/* Voucher data of a purchase or sales entry (asientos.idaux). */
create table auxasi (
  id       integer not null primary key,
  codprov  varchar(20) default '',
  idtipop  integer default 0,
  mes      integer default 0,
  tipo     varchar(5)  default '',
  nro      varchar(12) default '',
  nro2     varchar(12) default '',
  porib    numeric(9,2) default 0,
  poriva   numeric(9,2) default 0,
  porivan  numeric(9,2) default 0,
  calc     integer default 0,
  ref      varchar(40) default '',
  resta    integer default 0
);
create index auxasi_prov_nro on auxasi (codprov, nro);
create index auxasi_mes on auxasi (mes);

/* Customer and provider data of an account of class 1 or 2 (cuentas.idaux).
   codigos, activ and deha hold one fixed-width field per billing concept. */
create table auxctas (
  id         integer not null primary key,
  respiva    varchar(10) default '',
  tipodoc    varchar(10) default '',
  doc        varchar(20) default '',
  dom        varchar(40) default '',
  loc        varchar(30) default '',
  provincia  varchar(20) default '',
  cp         varchar(10) default '',
  tel        varchar(30) default '',
  ib         varchar(15) default '',
  gan        varchar(15) default '',
  contacto   varchar(80) default '',
  email      varchar(80) default '',
  web        varchar(80) default '',
  porib      numeric(9,2) default 0,
  poriva     numeric(9,2) default 0,
  porivan    numeric(9,2) default 0,
  codigos    char(240) default '',
  calc       integer default 0,
  activ      char(12) default '',
  deha       char(12) default '',
  idtipoper  integer default 0
);

/* Operation types: tip C purchases, V sales. */
create table tipoper (
  id       integer not null primary key,
  tip      char(1) default '',
  descrip  varchar(60) default '' collate UNICODE_ES
);

/* Standard entries and their lines. */
create table tipasi (
  id       integer not null primary key,
  descrip  varchar(40) default '' collate UNICODE_ES
);

create table tippase (
  id        integer not null primary key,
  idtipasi  integer default 0,
  cod       varchar(20) default '',
  dh        char(1) default '',
  concepto  varchar(30) default ''
);
create index tippase_tipasi on tippase (idtipasi);

/* Monthly inflation indexes, four series. */
create table indices (
  id      integer not null primary key,
  mes     integer default 0,
  ano     integer default 0,
  valor1  double precision default 0,
  valor2  double precision default 0,
  valor3  double precision default 0,
  valor4  double precision default 0
);
create index indices_ano_mes on indices (ano, mes);

/* Query and report definitions, addressed like an ini file: kind, query, section, key. */
create table DefQuery (
  id       integer not null primary key,
  typ      varchar(1)   default '',
  qry      varchar(31)  default '',
  section  varchar(60)  default '' collate UNICODE_ES,
  ky       varchar(31)  default '',
  valor    varchar(255) default ''
);
create index defquery_key on DefQuery (typ, qry, section, ky);

/* Final balance per year and account, rebuilt by pGenBalance. */
create table balance (
  idej   integer default 0 not null,
  cod    varchar(20) default '' not null,
  final  numeric(18,2) default 0
);
create index balance_ej_cod on balance (idej, cod);

/* School billing, kept by other software in the same file; this program copies and deletes. */
create table familias (
  id       integer not null primary key,
  descrip  varchar(60) default '' collate UNICODE_ES
);

create table cursos (
  id         integer not null primary key,
  idsig      integer default 0,
  descrip    varchar(60) default '' collate UNICODE_ES,
  cuota      numeric(18,2) default 0,
  otro1      numeric(18,2) default 0,
  otro2      numeric(18,2) default 0,
  otro3      numeric(18,2) default 0,
  descuento  numeric(18,2) default 0,
  recargo    numeric(18,2) default 0,
  obscuota   varchar(60) default '',
  obsotro1   varchar(60) default '',
  obsotro2   varchar(60) default '',
  obsotro3   varchar(60) default '',
  obsdesc    varchar(60) default '',
  obsrec     varchar(60) default '',
  coddev     varchar(20) default '',
  codpago    varchar(20) default '',
  dhdev      char(1) default '',
  dhpago     char(1) default ''
);

create table auxalu (
  id         integer not null primary key,
  idcurso    integer default 0,
  alumno     varchar(60) default '' collate UNICODE_ES,
  tutor      varchar(60) default '',
  loc        varchar(30) default '',
  provincia  varchar(20) default '',
  dni        varchar(15) default '',
  dom        varchar(60) default '',
  tel        varchar(30) default '',
  cp         varchar(10) default '',
  email      varchar(80) default '',
  obs        varchar(255) default '',
  cuota      numeric(18,2) default 0,
  otro1      numeric(18,2) default 0,
  otro2      numeric(18,2) default 0,
  otro3      numeric(18,2) default 0,
  descuento  numeric(18,2) default 0,
  recargo    numeric(18,2) default 0,
  obscuota   varchar(60) default '',
  obsotro1   varchar(60) default '',
  obsotro2   varchar(60) default '',
  obsotro3   varchar(60) default '',
  obsdesc    varchar(60) default '',
  obsrec     varchar(60) default '',
  coddev     varchar(20) default '',
  codpago    varchar(20) default '',
  dhdev      char(1) default '',
  dhpago     char(1) default '',
  sync       integer default 0
);

create table auxfacalu (
  id         integer not null primary key,
  idfamilia  integer default 0,
  idcurso    integer default 0,
  curso      varchar(60) default '',
  alumno     varchar(60) default '' collate UNICODE_ES,
  tutor      varchar(60) default '',
  dom        varchar(60) default '',
  cp         varchar(10) default '',
  loc        varchar(30) default '',
  provincia  varchar(20) default '',
  cuota      numeric(18,2) default 0,
  otro1      numeric(18,2) default 0,
  otro2      numeric(18,2) default 0,
  otro3      numeric(18,2) default 0,
  descuento  numeric(18,2) default 0,
  recargo    numeric(18,2) default 0,
  obscuota   varchar(60) default '',
  obsotro1   varchar(60) default '',
  obsotro2   varchar(60) default '',
  obsotro3   varchar(60) default '',
  obsdesc    varchar(60) default '',
  obsrec     varchar(60) default ''
);
commit;

/* One generator per keyed table. The copy between companies resets GDEFQUERYID by name. */
create generator gejercid;
create generator gcuentasid;
create generator gasientosid;
create generator gpasesid;
create generator gauxasiid;
create generator gauxctasid;
create generator gtipoperid;
create generator gtipasiid;
create generator gtippaseid;
create generator gindicesid;
create generator gdefqueryid;
create generator gfamiliasid;
create generator gcursosid;
create generator gauxaluid;
create generator gauxfacaluid;
commit;

set term ^ ;

create or alter trigger ejerc_bi for ejerc active before insert position 0 as
begin
  if (new.id is null or new.id = 0) then new.id = gen_id(gejercid, 1);
end^

create or alter trigger cuentas_bi for cuentas active before insert position 0 as
begin
  if (new.id is null or new.id = 0) then new.id = gen_id(gcuentasid, 1);
end^

create or alter trigger asientos_bi for asientos active before insert position 0 as
begin
  if (new.id is null or new.id = 0) then new.id = gen_id(gasientosid, 1);
end^

create or alter trigger pases_bi for pases active before insert position 0 as
begin
  if (new.id is null or new.id = 0) then new.id = gen_id(gpasesid, 1);
end^

create or alter trigger auxasi_bi for auxasi active before insert position 0 as
begin
  if (new.id is null or new.id = 0) then new.id = gen_id(gauxasiid, 1);
end^

create or alter trigger auxctas_bi for auxctas active before insert position 0 as
begin
  if (new.id is null or new.id = 0) then new.id = gen_id(gauxctasid, 1);
end^

create or alter trigger tipoper_bi for tipoper active before insert position 0 as
begin
  if (new.id is null or new.id = 0) then new.id = gen_id(gtipoperid, 1);
end^

create or alter trigger tipasi_bi for tipasi active before insert position 0 as
begin
  if (new.id is null or new.id = 0) then new.id = gen_id(gtipasiid, 1);
end^

create or alter trigger tippase_bi for tippase active before insert position 0 as
begin
  if (new.id is null or new.id = 0) then new.id = gen_id(gtippaseid, 1);
end^

create or alter trigger indices_bi for indices active before insert position 0 as
begin
  if (new.id is null or new.id = 0) then new.id = gen_id(gindicesid, 1);
end^

create or alter trigger defquery_bi for DefQuery active before insert position 0 as
begin
  if (new.id is null or new.id = 0) then new.id = gen_id(gdefqueryid, 1);
end^

create or alter trigger familias_bi for familias active before insert position 0 as
begin
  if (new.id is null or new.id = 0) then new.id = gen_id(gfamiliasid, 1);
end^

create or alter trigger cursos_bi for cursos active before insert position 0 as
begin
  if (new.id is null or new.id = 0) then new.id = gen_id(gcursosid, 1);
end^

create or alter trigger auxalu_bi for auxalu active before insert position 0 as
begin
  if (new.id is null or new.id = 0) then new.id = gen_id(gauxaluid, 1);
end^

create or alter trigger auxfacalu_bi for auxfacalu active before insert position 0 as
begin
  if (new.id is null or new.id = 0) then new.id = gen_id(gauxfacaluid, 1);
end^

/* Trims blanks on both sides. SQL such as `f_lrtrim(cod) like '0001____'` relies on it; being
   PSQL it needs no function library on the server. 8191 characters is the most a UTF8
   varchar can hold within the 32765-byte limit. */
create or alter function f_lrtrim (s varchar(8191)) returns varchar(8191) as
begin
  return trim(s);
end^

set term ; ^
commit;
