# Reads an isql script and turns each SQL statement into a guarded, re-runnable block for the
# update scripts. Follows `set term`, skips comments, isql settings and commits, and never
# splits inside a quoted string.
#
# Variables (awk -v):
#   mode=guard    print one block per statement, run only while kesh_schema.version < version
#                 and, for a statement that creates something, only while it does not exist yet
#   mode=check    print nothing; fail unless the script ends with the terminator back at ';'
#   version=N     the schema number of the file (mode=guard)
#
# A block looks like
#   execute block as
#   begin
#     if (<guard>) then
#       execute statement '<the statement, quotes doubled>';
#   end^
#   commit^
# and expects the output script to run with `set term ^ ;`.
#
# Kept for mawk: no regex captures, no gensub, no IGNORECASE.

BEGIN {
  term = ";"
  stmt = ""
  in_str = 0       # inside '...'
  in_ident = 0     # inside "..."
  in_comment = 0   # inside /* ... */
  failed = 0
}

function fail(msg) {
  printf("%s:%d: %s\n", FILENAME, FNR, msg) > "/dev/stderr"
  failed = 1
  exit 1
}

function trim(s) {
  sub(/^[ \t\r\n]+/, "", s)
  sub(/[ \t\r\n]+$/, "", s)
  return s
}

# Catalogue name of an unquoted identifier that may be glued to a "(".
function ident(word,    s) {
  s = word
  sub(/\(.*/, "", s)
  if (s ~ /^"/) fail("quoted identifiers are not supported in schema files: " s)
  return toupper(s)
}

function not_exists(table, cond) {
  return " and not exists (select 1 from " table " where " cond ")"
}

function exists(table, cond) {
  return " and exists (select 1 from " table " where " cond ")"
}

# The extra condition that makes a creating or dropping statement safe to repeat.
function existence_guard(w,    a, n, k, name, col) {
  n = split(w, a, " ")
  if (a[1] == "recreate" && a[2] == "table")
    fail("recreate table would drop the data of a company; use create table / alter table")
  if (a[1] == "create" && a[2] != "or") {
    k = 2
    while (a[k] == "unique" || a[k] == "asc" || a[k] == "ascending" || a[k] == "desc" || a[k] == "descending")
      k++
    name = ident(a[k + 1])
    if (a[k] == "table" || a[k] == "view")
      return not_exists("rdb$relations", "rdb$relation_name = '" name "'")
    if (a[k] == "generator" || a[k] == "sequence")
      return not_exists("rdb$generators", "rdb$generator_name = '" name "'")
    if (a[k] == "index")
      return not_exists("rdb$indices", "rdb$index_name = '" name "'")
    if (a[k] == "collation")
      return not_exists("rdb$collations", "rdb$collation_name = '" name "'")
    if (a[k] == "domain")
      return not_exists("rdb$fields", "rdb$field_name = '" name "'")
    if (a[k] == "exception")
      return not_exists("rdb$exceptions", "rdb$exception_name = '" name "'")
    if (a[k] == "role")
      return not_exists("rdb$roles", "rdb$role_name = '" name "'")
    if (a[k] == "trigger")
      return not_exists("rdb$triggers", "rdb$trigger_name = '" name "'")
    if (a[k] == "procedure")
      return not_exists("rdb$procedures", "rdb$procedure_name = '" name "'")
    if (a[k] == "function")
      return not_exists("rdb$functions", "rdb$function_name = '" name "'")
    return ""
  }
  if (a[1] == "alter" && a[2] == "table" && n >= 5) {
    name = ident(a[3])
    if (a[4] == "add" && a[5] == "constraint")
      return not_exists("rdb$relation_constraints", "rdb$constraint_name = '" ident(a[6]) "'")
    if (a[4] == "add" && a[5] != "primary" && a[5] != "unique" && a[5] != "foreign" && a[5] != "check") {
      if (w ~ /, *add /) fail("add one column per alter table statement, so each one can be checked")
      col = ident(a[5])
      return not_exists("rdb$relation_fields", "rdb$relation_name = '" name "' and rdb$field_name = '" col "'")
    }
    if (a[4] == "drop" && a[5] == "constraint")
      return exists("rdb$relation_constraints", "rdb$constraint_name = '" ident(a[6]) "'")
    if (a[4] == "drop") {
      col = ident(a[5])
      return exists("rdb$relation_fields", "rdb$relation_name = '" name "' and rdb$field_name = '" col "'")
    }
    return ""
  }
  if (a[1] == "drop") {
    name = ident(a[3])
    if (a[2] == "table" || a[2] == "view")
      return exists("rdb$relations", "rdb$relation_name = '" name "'")
    if (a[2] == "index")
      return exists("rdb$indices", "rdb$index_name = '" name "'")
    if (a[2] == "generator" || a[2] == "sequence")
      return exists("rdb$generators", "rdb$generator_name = '" name "'")
    if (a[2] == "procedure")
      return exists("rdb$procedures", "rdb$procedure_name = '" name "'")
    if (a[2] == "trigger")
      return exists("rdb$triggers", "rdb$trigger_name = '" name "'")
    if (a[2] == "function")
      return exists("rdb$functions", "rdb$function_name = '" name "'")
    if (a[2] == "exception")
      return exists("rdb$exceptions", "rdb$exception_name = '" name "'")
    if (a[2] == "domain")
      return exists("rdb$fields", "rdb$field_name = '" name "'")
    return ""
  }
  return ""
}

function emit(s,    w, a, quoted, guard) {
  s = trim(s)
  if (s == "") return
  w = tolower(s)
  gsub(/[ \t\r\n]+/, " ", w)

  if (w ~ /^set term /) {
    split(s, a, /[ \t\r\n]+/)
    term = a[3]
    return
  }
  # isql's own settings and transaction control mean nothing inside a block
  if (w ~ /^commit( work)?$/) return
  if (w ~ /^set (names|sql dialect|autoddl|echo|bail|list|heading|plan|planonly|stats|count|width|warnings|blob|blobdisplay|time|wng|bulk_insert|maxrows|exec_path_display|sqlda_display|keep_tran_params)( |$)/) return
  if (w ~ /^(rollback|connect|create database|set transaction|input|output|quit|exit)( |$)/)
    fail("not allowed in a schema file: " substr(s, 1, 40))

  if (mode != "guard") return

  guard = existence_guard(w)
  quoted = s
  gsub(/'/, "''", quoted)
  print "execute block as"
  print "begin"
  print "  if ((select max(version) from kesh_schema) < " version guard ") then"
  print "    execute statement '" quoted "';"
  print "end^"
  print "commit^"
  print ""
}

{
  line = $0 "\n"
  len = length(line)
  i = 1
  while (i <= len) {
    c = substr(line, i, 1)
    if (in_comment) {
      if (substr(line, i, 2) == "*/") { in_comment = 0; i += 2 } else i++
      continue
    }
    if (in_str) {
      stmt = stmt c
      if (c == "'") {
        if (substr(line, i + 1, 1) == "'") { stmt = stmt "'"; i += 2; continue }
        in_str = 0
      }
      i++
      continue
    }
    if (in_ident) {
      stmt = stmt c
      if (c == "\"") in_ident = 0
      i++
      continue
    }
    if (substr(line, i, 2) == "--") { stmt = stmt "\n"; break }
    if (substr(line, i, 2) == "/*") { in_comment = 1; i += 2; continue }
    if (substr(line, i, length(term)) == term) {
      emit(stmt)
      stmt = ""
      i += length(term)
      continue
    }
    if (c == "'") in_str = 1
    else if (c == "\"") in_ident = 1
    stmt = stmt c
    i++
  }
}

END {
  if (failed) exit 1
  if (in_str) fail("unterminated string")
  if (in_comment) fail("unterminated comment")
  if (trim(stmt) != "") fail("statement without terminator at the end of the file")
  if (mode == "check" && term != ";")
    fail("the file must end with the terminator set back to ';' (set term ; ^)")
}
