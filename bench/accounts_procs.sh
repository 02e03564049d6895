#!/usr/bin/env bash
# Times the chart procedures on a book of N lines (default 400 000): the accounts list with
# balances, one busy account's ledger and year balances, and the balance rebuild.
#
# Usage: bench/accounts_procs.sh BUILD_DIR [LINES]
# Uses BUILD_DIR/app/demo0.fdb (standard chart) and isql-fb with a private engine root;
# KEEP=1 keeps the generated company. Measured on 2 cores, 400 000 lines over 4 years (each
# figure includes starting isql): pGenBalance 1.6 s, pbrcuentas 0.5 s, pMayor 0.15 s for one
# year of a 7 000-line account, pSaldos3 on a level-1 group 0.5 s.
set -euo pipefail
build=$(realpath "${1:?usage: accounts_procs.sh BUILD_DIR [LINES]}")
lines=${2:-400000}
work=$(mktemp -d)
[[ -n "${KEEP:-}" ]] && echo "work: $work" || trap 'rm -rf "$work"' EXIT
mkdir -p "$work/fb"
printf 'ServerMode = SuperClassic\n' > "$work/fb/firebird.conf"
export FIREBIRD="$work/fb" FIREBIRD_LOCK="$work/fb/lock"
db="$work/bench.vrn"
cp "$build/app/demo0.fdb" "$db"
chmod 0644 "$db"
isql() { isql-fb -q -ch UTF8 -user SYSDBA -password plumtrove "$db" "$@"; }

# Four years; entries of two lines spread over the imputable accounts, dates in order.
cat > "$work/gen.sql" <<SQL
set term ^ ;
execute block as
declare variable i integer = 0;
declare variable ej integer;
declare variable a integer;
declare variable n integer;
declare variable c1 varchar(20);
declare variable c2 varchar(20);
declare variable f date;
begin
  delete from pases; delete from asientos; delete from auxasi; delete from balance; delete from ejerc;
  insert into ejerc (id, descrip, fech1, fech2, activ) values (101, 'E1', '2023-01-01', '2023-12-31', '-');
  insert into ejerc (id, descrip, fech1, fech2, activ) values (102, 'E2', '2024-01-01', '2024-12-31', '-');
  insert into ejerc (id, descrip, fech1, fech2, activ) values (103, 'E3', '2025-01-01', '2025-12-31', '-');
  insert into ejerc (id, descrip, fech1, fech2, activ) values (104, 'E4', '2026-01-01', '2026-12-31', '-');
  select count(*) from cuentas where imp = 1 into :n;
  while (i < $lines / 2) do
  begin
    ej = 101 + (i * 4) / ($lines / 2);
    f = dateadd(mod(i, 360) day to cast((2022 + ej - 100) || '-01-01' as date));
    select cod from cuentas where imp = 1 order by cod rows (mod(:i, :n) + 1) to (mod(:i, :n) + 1) into :c1;
    select cod from cuentas where imp = 1 order by cod rows (mod(:i * 7 + 3, :n) + 1) to (mod(:i * 7 + 3, :n) + 1) into :c2;
    insert into asientos (id, idej, num, fecha, descrip) values (:i + 1, :ej, :i + 1, :f, 'Asiento')
      returning id into :a;
    insert into pases (idasi, idej, nro, cod, dh, importe, fecha) values (:a, :ej, 1, :c1, 'D', mod(:i, 997) + 0.25, :f);
    insert into pases (idasi, idej, nro, cod, dh, importe, fecha) values (:a, :ej, 2, :c2, 'C', mod(:i, 997) + 0.25, :f);
    i = i + 1;
  end
end^
set term ; ^
commit;
SQL
t0=$(date +%s.%N); isql -i "$work/gen.sql"; t1=$(date +%s.%N)
printf 'generated %s lines: %.1f s\n' "$lines" "$(echo "$t1 - $t0" | bc)"

timeit() {  # timeit LABEL SQL
  printf 'set list on;\n%s\n' "$2" > "$work/q.sql"
  local s e; s=$(date +%s.%N); isql -i "$work/q.sql" > "$work/out.txt"; e=$(date +%s.%N)
  printf '%-44s %6.2f s  %s\n' "$1" "$(echo "$e - $s" | bc)" "$(grep -m1 -E 'CNT|COUNT|SALDO' "$work/out.txt" | tr -s ' ')"
}
timeit "pGenBalance (first run)" "select cnt from pGenBalance;"
timeit "pGenBalance (nothing to change)" "select cnt from pGenBalance;"
timeit "pbrcuentas, year 104, all accounts" "select count(*) from pbrcuentas(104, -1, -1, 0, 0, '');"
timeit "pMayor, busiest account, one year" "select count(*), max(saldo) saldo from pMayor('0001000100010001', 104);"
timeit "pMayor, busiest account, ticked years (all)" "update ejerc set activ = '+'; commit; select count(*), max(saldo) saldo from pMayor('0001000100010001', 0);"
timeit "pSaldosMayor, busiest account, one year" "select saldo from pSaldosMayor('0001000100010001', 104);"
timeit "pSaldos3, level-1 group ACTIVO, all years" "select count(*), sum(sal2) saldo from pSaldos3('0001', 0);"
