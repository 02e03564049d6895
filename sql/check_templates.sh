#!/usr/bin/env bash
# Checks the built templates and update scripts with the command-line tool:
#  - kesh0.fdb has every table and column the program uses, keys from the generators,
#    0 / '' for what an insert leaves out, f_lrtrim, pGetNivel, Spanish text and order;
#  - demo0.fdb is kesh0.fdb plus the demo company and its fiscal year;
#  - the update scripts run twice over copies of both templates without an error, with and
#    without a connection character set, and leave the data alone;
#  - an empty file brought up by the update scripts has exactly the template's metadata;
#  - a file one schema version behind gets the newer schema file, once.
#
# Usage: check_templates.sh --isql ISQL --app APPDIR --work SCRATCHDIR
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
isql=""; app=""; work=""
while (($#)); do
  case "$1" in
    --isql) isql=$2; shift 2 ;;
    --app) app=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    *) echo "check_templates.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done
[[ -n "$isql" && -n "$app" && -n "$work" ]] || { echo "usage: check_templates.sh --isql ISQL --app APPDIR --work DIR" >&2; exit 2; }
for f in kesh0.fdb demo0.fdb Dat_010509.SQL; do
  [[ -f "$app/$f" ]] || { echo "check_templates.sh: $app/$f missing; build the kesh_templates target first" >&2; exit 1; }
done

rm -rf "$work"
mkdir -p "$work/fbroot"
printf 'ServerMode = SuperClassic\n' > "$work/fbroot/firebird.conf"
export FIREBIRD="$work/fbroot"
export FIREBIRD_LOCK="$work/fbroot/lock"

failures=0
ok() { echo "ok   - $1"; }
bad() { echo "FAIL - $1" >&2; failures=$((failures + 1)); }
expect() {  # expect WHAT EXPECTED ACTUAL
  if [[ "$2" == "$3" ]]; then ok "$1"; else bad "$1: expected [$2], got [$3]"; fi
}

# Runs SQL over a file (UTF8 connection) and prints the values of the result, one line each.
q() {  # q DB SQL
  printf 'set heading off;\n%s\n' "$2" | "$isql" -bail -q -ch UTF8 -user SYSDBA -password plumtrove "$1" \
    | sed -e 's/[[:space:]]*$//' -e 's/^[[:space:]]*//' | sed -e '/^$/d'
}

# Runs one update script the way the maintenance tools do (no character set), plus -bail.
run_script() {  # run_script DB SCRIPT [extra isql options]
  local db=$1 script=$2
  shift 2
  "$isql" -bail -q "$@" -u SYSDBA -pas plumtrove -i "$script" "$db" >"$work/last.out" 2>&1
}

# ---------------------------------------------------------------------------- kesh0: columns
k0="$work/k0.fdb"
cp "$app/kesh0.fdb" "$k0"

expected_columns() {
  cat <<'EOF'
ASIENTOS CHECKSUM CLASE COLEGIO CONCEPTO DESCRIP FECHA FECHAV ID IDAUX IDEJ IDTIP IMPORTE MARCA NPAS NREC NUM
ASIREV IDASI IDEJ NUM TIPO
AUXALU ALUMNO CODDEV CODPAGO CP CUOTA DESCUENTO DHDEV DHPAGO DNI DOM EMAIL ID IDCURSO LOC OBS OBSCUOTA OBSDESC OBSOTRO1 OBSOTRO2 OBSOTRO3 OBSREC OTRO1 OTRO2 OTRO3 PROVINCIA RECARGO SYNC TEL TUTOR
AUXASI CALC CODPROV ID IDTIPOP MES NRO NRO2 PORIB PORIVA PORIVAN REF RESTA TIPO
AUXCTAS ACTIV CALC CODIGOS CONTACTO CP DEHA DOC DOM EMAIL GAN IB ID IDTIPOPER LOC PORIB PORIVA PORIVAN PROVINCIA RESPIVA TEL TIPODOC WEB
AUXFACALU ALUMNO CP CUOTA CURSO DESCUENTO DOM ID IDCURSO IDFAMILIA LOC OBSCUOTA OBSDESC OBSOTRO1 OBSOTRO2 OBSOTRO3 OBSREC OTRO1 OTRO2 OTRO3 PROVINCIA RECARGO TUTOR
BALANCE COD FINAL IDEJ
CUENTAS AJUS CLASE COD CUENTA ID IDAUX IMP MONEDA NRO TOKEN
CURSOS CODDEV CODPAGO CUOTA DESCRIP DESCUENTO DHDEV DHPAGO ID IDSIG OBSCUOTA OBSDESC OBSOTRO1 OBSOTRO2 OBSOTRO3 OBSREC OTRO1 OTRO2 OTRO3 RECARGO
DEFQUERY ID KY QRY SECTION TYP VALOR
EJERC ACTIV DESCRIP FECH1 FECH2 ID IDCIERRE IDREFUN SUC ULTFAC
EMPRESA CALICUOTAS CCALCULO CCODIGOS CCONCEPTOS CDEHA CIUDAD CMODO CODPOSTAL CUIT DESDECUENTA DESDEFECHA DOMICILIO EMAIL GANANCIAS HASTACUENTA HASTAFECHA INGBRUT LOGO NASICLASE NASIMODE NCTASMODE NIVEL NOMBRE OBS SUCURSAL TELEFONOS VALICUOTAS VCALCULO VCODIGOS VCONCEPTOS VDEHA VMODO
FAMILIAS DESCRIP ID
INDICES ANO ID MES VALOR1 VALOR2 VALOR3 VALOR4
KESH_SCHEMA VERSION
PASES COD DETALLE DH FECHA FECHAV ID IDASI IDEJ IMPORTE NCONCEP NRO RESTA
SALDOSMES COD DEBE HABER IDEJ MES
TIPASI DESCRIP ID
TIPOPER DESCRIP ID TIP
TIPPASE CONCEPTO COD DH ID IDTIPASI
EOF
}

actual_tables=$(q "$k0" "select trim(rdb\$relation_name) from rdb\$relations where coalesce(rdb\$system_flag, 0) = 0 order by 1;" | tr '\n' ' ')
expect "kesh0: tables" "$(expected_columns | awk '{print $1}' | sort | tr '\n' ' ')" "$actual_tables"
while read -r table cols; do
  actual=$(q "$k0" "select trim(rdb\$field_name) from rdb\$relation_fields where rdb\$relation_name = '$table' order by 1;" | LC_ALL=C sort | tr '\n' ' ')
  expect "kesh0: columns of $table" "$(tr ' ' '\n' <<<"$cols" | LC_ALL=C sort | tr '\n' ' ')" "$actual"
done < <(expected_columns)

last_schema=$(ls "$here/schema" | sed -n 's/^\([0-9]\{1,\}\)_.*\.sql$/\1/p' | sort -n | tail -1)
expect "kesh0: schema version" "$((10#$last_schema))" "$(q "$k0" 'select version from kesh_schema;')"

# ------------------------------------------------------------------------ kesh0: the company
expect "kesh0: one company row, standard chart to be offered" "1 1 0" \
  "$(q "$k0" "select count(*) || ' ' || max(nasiclase) || ' ' || max(nivel) from empresa;")"
expect "kesh0: no fiscal year" "0" "$(q "$k0" 'select count(*) from ejerc;')"
expect "kesh0: concept list lengths" "240 48 12 240 12 240 48 12 240 12" \
  "$(q "$k0" "select char_length(cconceptos) || ' ' || char_length(calicuotas) || ' ' || char_length(ccalculo) || ' ' || char_length(ccodigos) || ' ' || char_length(cdeha) || ' ' || char_length(vconceptos) || ' ' || char_length(valicuotas) || ' ' || char_length(vcalculo) || ' ' || char_length(vcodigos) || ' ' || char_length(vdeha) from empresa;")"
expect "kesh0: main VAT rates are concepts 2 and 3" "2100 1050" \
  "$(q "$k0" "select substring(calicuotas from 9 for 4) || ' ' || substring(calicuotas from 13 for 4) from empresa;")"
expect "kesh0: fixed concept names" "Total|Neto gravado|Neto no gravado" \
  "$(q "$k0" "select trim(substring(vconceptos from 1 for 20)) || '|' || trim(substring(vconceptos from 21 for 20)) || '|' || trim(substring(vconceptos from 221 for 20)) from empresa;")"

# ------------------------------------------------------------------- kesh0: keys and defaults
out=$(q "$k0" "
insert into cuentas (cod, cuenta) values ('0001', 'ACTIVO');
insert into cuentas (cod, cuenta) values ('0002', 'PASIVO');
insert into cuentas (id, cod, cuenta) values (0, '0003', 'PATRIMONIO NETO');
select cast(list(id, ',') as varchar(200)) from (select id from cuentas order by id);
select token || '|' || imp || '|' || clase || '|' || ajus || '|' || idaux || '|' || moneda || '|' || nro from cuentas where cod = '0001';
insert into asientos (idej, num, descrip) values (1, 1, 'x');
select clase || '|' || idaux || '|' || idtip || '|' || npas || '|' || checksum || '|' || importe || '|' || marca || '|' || colegio || '|' || nrec || '|' || concepto from asientos;
insert into pases (idasi, idej, cod, dh, importe) values (1, 1, '0001', 'D', 10);
select nro || '|' || detalle || '|' || nconcep || '|' || resta from pases;
insert into auxasi (codprov) values ('0001');
select idtipop || '|' || mes || '|' || tipo || '|' || nro || '|' || porib || '|' || calc || '|' || ref || '|' || resta from auxasi;
insert into ejerc (descrip, fech1, fech2) values ('2026', '01/01/2026', '12/31/2026');
select activ || '|' || suc || '|' || ultfac || '|' || idrefun || '|' || idcierre from ejerc;
insert into indices (mes, ano) values (1, 2026);
select valor1 + valor2 + valor3 + valor4 from indices;
insert into DefQuery (typ) values ('F');
insert into DefQuery (typ) values ('Q');
select max(id) from DefQuery;
rollback;")
expect "kesh0: ids from the generator, increasing" "1,2,3" "$(sed -n 1p <<<"$out")"
expect "kesh0: cuentas defaults" "|0|0|0|0||0" "$(sed -n 2p <<<"$out")"
expect "kesh0: asientos defaults" "0|0|0|0|0|0.00|0|0|0|" "$(sed -n 3p <<<"$out")"
expect "kesh0: pases defaults" "0||0|0" "$(sed -n 4p <<<"$out")"
expect "kesh0: auxasi defaults" "0|0|||0.00|0||0" "$(sed -n 5p <<<"$out")"
expect "kesh0: ejerc defaults" "-|0|0|0|0" "$(sed -n 6p <<<"$out")"
expect "kesh0: indices defaults" "0.000000000000000" "$(sed -n 7p <<<"$out")"
expect "kesh0: DefQuery ids" "2" "$(sed -n 8p <<<"$out")"

# ------------------------------------------------------------------- kesh0: functions, text
expect "f_lrtrim trims both sides" "[0001]" "$(q "$k0" "select '[' || f_lrtrim(' 0001 ') || ']' from rdb\$database;")"
out=$(q "$k0" "
insert into cuentas (cod) values ('0001');
insert into cuentas (cod) values ('00010001');
select count(*) from cuentas where f_lrtrim(cod) like '0001____';
rollback;")
expect "f_lrtrim(cod) like '0001____' matches only the child" "1" "$out"

nivel() { q "$k0" "$1
select coalesce(nivel, -1) from pGetNivel;
rollback;"; }
expect "pGetNivel: empty chart" "-1" "$(nivel '')"
chart4="
insert into cuentas (cod, imp) values ('0001', 0);
insert into cuentas (cod, imp) values ('00010001', 0);
insert into cuentas (cod, imp) values ('000100010001', 0);
insert into cuentas (cod, imp) values ('0001000100010001', 1);
insert into cuentas (cod, imp) values ('0001000100010002', 1);"
expect "pGetNivel: imputable accounts all of level 4" "4" "$(nivel "$chart4")"
expect "pGetNivel: an imputable account of level 3 as well" "-1" \
  "$(nivel "$chart4 insert into cuentas (cod, imp) values ('000100010002', 1);")"
expect "pGetNivel: a group account of level 4" "-1" \
  "$(nivel "$chart4 insert into cuentas (cod, imp) values ('0001000100010003', 0);")"
expect "pGetNivel: imputable accounts of level 2" "-1" \
  "$(nivel "insert into cuentas (cod, imp) values ('0001', 0); insert into cuentas (cod, imp) values ('00010001', 1);")"

out=$(q "$k0" "
insert into cuentas (cod, cuenta) values ('01', 'oso');
insert into cuentas (cod, cuenta) values ('02', 'Ñandú');
insert into cuentas (cod, cuenta) values ('03', 'nube');
insert into cuentas (cod, cuenta) values ('04', 'Acción');
select cast(list(cuenta, ',') as varchar(200)) from (select cuenta from cuentas order by cuenta);
select upper(cuenta) from cuentas where cod = '02';
rollback;")
expect "Spanish text round-trips and sorts" "Acción,nube,Ñandú,oso" "$(sed -n 1p <<<"$out")"
expect "upper() of Spanish text" "ÑANDÚ" "$(sed -n 2p <<<"$out")"

# --------------------------------------------------------------------------------- demo0
d0="$work/d0.fdb"
cp "$app/demo0.fdb" "$d0"
expect "demo0: company and one fiscal year" "1 1 2026-01-01 2026-12-31 -" \
  "$(q "$d0" "select (select count(*) from empresa) || ' ' || count(*) || ' ' || min(fech1) || ' ' || max(fech2) || ' ' || min(activ) from ejerc;")"
cuit=$(q "$d0" 'select cuit from empresa;')
digits=${cuit//-/}
sum=0; weights=(5 4 3 2 7 6 5 4 3 2)
for i in {0..9}; do sum=$((sum + ${digits:i:1} * weights[i])); done
check=$((11 - sum % 11)); ((check == 11)) && check=0
expect "demo0: CUIT check digit" "${digits:10:1}" "$check"

# ------------------------------------------------------------------------ update scripts
program_order=(Dat_0108.sql DatCuadBal.sql Dat_010509.SQL Pro_0509E.SQL dayofweek.sql Pro_0609.sql)
setup_order=(Dat_010509.sql Pro_080510E.SQL Pro_Balance.SQL)

snapshot() { q "$1" "select * from empresa; select * from ejerc; select * from kesh_schema;"; }

for t in kesh0 demo0; do
  db="$work/upd_$t.fdb"
  cp "$app/$t.fdb" "$db"
  before=$(snapshot "$db")
  status=ok
  # the tools pass no character set; the second run uses UTF8 as the program's own tools may
  for pass in 1 2; do
    opts=(); ((pass == 2)) && opts=(-ch UTF8)
    for s in "${program_order[@]}" "${setup_order[@]}"; do
      if ! run_script "$db" "$app/$s" "${opts[@]}"; then
        bad "$t: $s, run $pass: $(head -c 400 "$work/last.out")"
        status=failed
      fi
    done
  done
  [[ $status == ok ]] && ok "$t: every update script runs twice without an error"
  expect "$t: update scripts leave the data alone" "$before" "$(snapshot "$db")"
done

# An empty file brought up by the update scripts alone matches the template's metadata.
empty="$work/empty.fdb"
printf "CREATE DATABASE '%s' USER 'SYSDBA' PASSWORD 'plumtrove' PAGE_SIZE 16384 DEFAULT CHARACTER SET UTF8;\n" "$empty" > "$work/create.sql"
"$isql" -bail -q -i "$work/create.sql"
run_script "$empty" "$app/Dat_010509.SQL" && run_script "$empty" "$app/Pro_0509E.SQL" \
  || bad "update scripts over an empty file: $(head -c 400 "$work/last.out")"
"$isql" -x -ch UTF8 -user SYSDBA -password plumtrove "$k0" | grep -v '^/\* CREATE DATABASE' > "$work/k0.ddl"
"$isql" -x -ch UTF8 -user SYSDBA -password plumtrove "$empty" | grep -v '^/\* CREATE DATABASE' > "$work/empty.ddl"
if diff -u "$work/k0.ddl" "$work/empty.ddl" > "$work/ddl.diff"; then
  ok "update scripts over an empty file give the template's metadata"
else
  bad "update scripts over an empty file differ from the template: see $work/ddl.diff"
fi

# A file one schema version behind: a scratch copy of the sources with one more schema file.
src="$work/src"
mkdir -p "$src/schema" "$src/procs" "$src/out"
cp "$here"/schema/*.sql "$src/schema/"
cp "$here"/procs/*.sql "$src/procs/" 2>/dev/null || true
next=$((10#$last_schema + 1))
cat > "$src/schema/$(printf '%03d' "$next")_check.sql" <<'EOF'
/* a later change: a column, an index, a table with its key, a row with Spanish text */
alter table cuentas add saldo_check numeric(18,2) default 0;
create index cuentas_saldo_check on cuentas (saldo_check);
create table notas_check (id integer not null primary key, texto varchar(60) default '' collate UNICODE_ES);
create generator gnotas_checkid;
set term ^ ;
create or alter trigger notas_check_bi for notas_check active before insert position 0 as
begin
  if (new.id is null or new.id = 0) then new.id = gen_id(gnotas_checkid, 1); /* ; */
end^
set term ; ^
insert into notas_check (texto) values ('Año; it''s -- ok');
EOF
bash "$here/gen_update_scripts.sh" "$src/out" --schema "$src"/schema/*.sql --procs "$src"/procs/*.sql
old="$work/old.fdb"
cp "$app/demo0.fdb" "$old"
q "$old" "insert into cuentas (id, cod) values (50, '0009'); commit;" >/dev/null
before=$(q "$old" "select nombre from empresa; select count(*) from ejerc;")
status=ok
for pass in 1 2; do
  run_script "$old" "$src/out/Dat_010509.SQL" || { bad "older file, run $pass: $(head -c 400 "$work/last.out")"; status=failed; }
done
[[ $status == ok ]] && ok "older file: the newer schema file applies, and again without an error"
expect "older file: version raised" "$next" "$(q "$old" 'select version from kesh_schema;')"
expect "older file: the newer schema is there once" "1 Año; it's -- ok 1" \
  "$(q "$old" "select count(*) || ' ' || max(texto) || ' ' || (select count(*) from rdb\$relation_fields where rdb\$relation_name = 'CUENTAS' and rdb\$field_name = 'SALDO_CHECK') from notas_check;")"
expect "older file: data kept" "$before" "$(q "$old" "select nombre from empresa; select count(*) from ejerc;")"
expect "older file: generators moved past ids written by hand" "51" \
  "$(q "$old" "insert into cuentas (cod) values ('0010'); select max(id) from cuentas; rollback;")"

if ((failures > 0)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all template checks passed"
