/*
 * Company-wide procedures. Re-runnable: every object is `create or alter`.
 * Ends with the terminator back at ';' so the next procedure file can follow it directly.
 */
set term ^ ;

/*
 * The level rule the chart already satisfies, used to set empresa.nivel on a company that has
 * none: NIVEL = L when every imputable account has level L, every account of level L is
 * imputable and no account lies deeper, with L between 3 and 5. Otherwise NIVEL is null
 * (an empty chart included). A code has four digits per level; blanks left by old imports
 * do not count.
 */
create or alter procedure pGetNivel
returns (nivel integer)
as
declare variable min_imp integer;
declare variable max_imp integer;
declare variable deepest integer;
declare variable group_at_level integer;
begin
  nivel = null;

  select min(char_length(trim(cod)) / 4), max(char_length(trim(cod)) / 4)
    from cuentas
    where imp = 1
    into :min_imp, :max_imp;

  select max(char_length(trim(cod)) / 4)
    from cuentas
    into :deepest;

  if (min_imp is not null and min_imp = max_imp and min_imp = deepest
      and min_imp between 3 and 5) then
  begin
    select count(*)
      from cuentas
      where imp <> 1 and char_length(trim(cod)) = :min_imp * 4
      into :group_at_level;
    if (group_at_level = 0) then
      nivel = min_imp;
  end

  suspend;
end^

set term ; ^
commit;
