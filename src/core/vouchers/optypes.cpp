#include "vouchers/optypes.h"

#include "app/sqlhelpers.h"
#include "db/database.h"

namespace kesh::vouchers {

std::vector<OperationType> ListOperationTypes(db::Transaction& tr, char tip) {
    std::vector<OperationType> list;
    db::Statement s =
        tr.prepare("select id, tip, descrip from tipoper where tip = ? order by descrip, id");
    s.open({std::string(1, tip)});
    while (s.next()) {
        const std::string t = s.getText("TIP");
        list.push_back({int(s.getInt("ID")), t.empty() ? tip : t[0], s.getText("DESCRIP")});
    }
    return list;
}

std::string CleanOperationTypeText(const std::string& text) {
    return Utf8Left(Trimmed(text), kOperationTypeWidth);
}

namespace {
const char* const kEmptyDescription = "Debe ingresar la descripción del Tipo de Operación.";
}

std::string AddOperationType(db::Transaction& tr, char tip, const std::string& descrip,
                             int* newId) {
    const std::string text = CleanOperationTypeText(descrip);
    if (text.empty()) return kEmptyDescription;
    if (tip != 'C' && tip != 'V') return "Tipo de comprobante inválido.";
    const int id = int(tr.insertReturningId(
        "insert into tipoper (tip, descrip) values (?, ?) returning id",
        {std::string(1, tip), text}));
    if (newId) *newId = id;
    return {};
}

std::string ChangeOperationType(db::Transaction& tr, int id, const std::string& descrip) {
    const std::string text = CleanOperationTypeText(descrip);
    if (text.empty()) return kEmptyDescription;
    tr.execute("update tipoper set descrip = ? where id = ?", {text, id});
    return {};
}

int VouchersUsingOperationType(db::Transaction& tr, int id) {
    return int(tr.queryInt("select count(id) from auxasi where idtipop = ?", {id}));
}

std::string DeleteOperationType(db::Transaction& tr, int id) {
    if (VouchersUsingOperationType(tr, id) != 0)
        return "No se puede borrar por existir comprobantes que que lo utilizan.";
    // A party whose default was this type falls back to none instead of pointing nowhere.
    tr.execute("update auxctas set idtipoper = 0 where idtipoper = ?", {id});
    tr.execute("delete from tipoper where id = ?", {id});
    return {};
}

std::string OperationTypeDescription(db::Transaction& tr, int id) {
    if (id == 0) return kNoOperationType;
    return tr.queryText("select descrip from tipoper where id = ?", {id});
}

std::string OperationTypeDescription(const std::string& dsn, int id) {
    if (id == 0) return kNoOperationType;
    return db::WithTransaction(
        dsn, [&](db::Transaction& tr) { return OperationTypeDescription(tr, id); });
}

int AssignOperationTypes(db::Transaction& tr) {
    // One statement does what the row-by-row walk would: a voucher with no type takes the
    // default of the party account named in codprov, when that account has an auxctas row
    // whose default is set.
    return int(tr.execute(
        "update auxasi a set a.idtipop = ("
        "  select first 1 x.idtipoper from cuentas c join auxctas x on x.id = c.idaux"
        "  where c.cod = a.codprov and c.idaux > 0) "
        "where coalesce(a.idtipop, 0) = 0 and exists ("
        "  select 1 from cuentas c join auxctas x on x.id = c.idaux"
        "  where c.cod = a.codprov and c.idaux > 0 and x.idtipoper > 0)"));
}

int AssignOperationTypes(const std::string& dsn) {
    return db::WithTransaction(dsn, [](db::Transaction& tr) { return AssignOperationTypes(tr); });
}

}  // namespace kesh::vouchers
