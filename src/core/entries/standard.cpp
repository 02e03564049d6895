#include "entries/standard.h"

#include "app/sqlhelpers.h"
#include "db/database.h"

namespace kesh::entries {

namespace {
std::string Trim(std::string s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}
} // namespace

std::vector<StandardEntry> ListStandardEntries(const std::string& dsn, StandardOrder order) {
    return db::WithTransaction(dsn, [&](db::Transaction& tr) {
        std::vector<StandardEntry> list;
        db::Statement s = tr.prepare(order == StandardOrder::CaseInsensitive
                                         ? "select id, descrip from tipasi order by upper(descrip), id"
                                         : "select id, descrip from tipasi order by descrip, id");
        s.open();
        while (s.next()) list.push_back({s.getInt("ID"), s.getText("DESCRIP")});
        return list;
    });
}

std::string StandardEntryName(const std::string& dsn, int64_t id) {
    return db::WithTransaction(dsn, [&](db::Transaction& tr) {
        return tr.queryText("select descrip from tipasi where id = ?", {id});
    });
}

std::vector<StandardLine> LoadStandardLines(const std::string& dsn, int64_t id) {
    return db::WithTransaction(dsn, [&](db::Transaction& tr) {
        std::vector<StandardLine> lines;
        db::Statement s = tr.prepare("select cod, dh, concepto from tippase where idtipasi = ? order by id");
        s.open({id});
        while (s.next()) {
            StandardLine l;
            l.code = Trim(s.getText("COD"));
            if (l.code.empty()) continue;
            const std::string dh = Trim(s.getText("DH"));
            l.dh = dh == "C" ? 'C' : 'D';
            l.concepto = s.getText("CONCEPTO");
            lines.push_back(std::move(l));
        }
        return lines;
    });
}

int64_t SaveStandardEntry(const std::string& dsn, int64_t id, const std::string& name,
                          const std::vector<StandardLine>& lines) {
    return db::WithTransaction(dsn, [&](db::Transaction& tr) {
        const std::string descrip = SqlText(name, 40);
        if (id != 0) {
            tr.execute("update tipasi set descrip = ? where id = ?", {descrip, id});
            tr.execute("delete from tippase where idtipasi = ?", {id});
        } else {
            id = tr.insertReturningId("insert into tipasi (descrip) values (?) returning id", {descrip});
        }
        db::Statement ins =
            tr.prepare("insert into tippase (idtipasi, cod, dh, concepto) values (?, ?, ?, ?)");
        for (const StandardLine& l : lines) {
            if (l.code.empty()) continue;
            ins.execute({id, l.code, std::string(1, l.dh == 'C' ? 'C' : 'D'), SqlText(l.concepto, 30)});
        }
        return id;
    });
}

void DeleteStandardEntry(const std::string& dsn, int64_t id) {
    db::WithTransaction(dsn, [&](db::Transaction& tr) {
        tr.execute("delete from tippase where idtipasi = ?", {id});
        tr.execute("delete from tipasi where id = ?", {id});
    });
}

std::vector<TemplateSlot> SlotsFromStandard(const std::vector<StandardLine>& lines) {
    std::vector<TemplateSlot> slots(kTemplateSlots);
    for (TemplateSlot& s : slots) s.concepto = kEmptyConcept;
    for (std::size_t k = 0; k < lines.size() && k < slots.size(); ++k) {
        TemplateSlot& s = slots[k];
        s.ticked = true;
        s.code = lines[k].code;
        s.dh = lines[k].dh;
        if (!Trim(lines[k].concepto).empty()) s.concepto = lines[k].concepto;
    }
    return slots;
}

std::vector<TemplateSlot> SlotsForEntry(const std::string& dsn, int64_t entryId,
                                        const std::vector<StandardLine>& standard) {
    std::vector<TemplateSlot> slots = SlotsFromStandard(standard);
    for (TemplateSlot& s : slots) {
        s.ticked = false;
        s.code.clear();
        s.dh = 'D';
    }
    db::WithTransaction(dsn, [&](db::Transaction& tr) {
        db::Statement s = tr.prepare(
            "select id, cod, detalle, importe, dh from pases where idasi = ? order by nro, id");
        s.open({entryId});
        for (std::size_t k = 0; k < slots.size() && s.next(); ++k) {
            TemplateSlot& slot = slots[k];
            slot.ticked = true;
            slot.lineId = s.getInt("ID");
            slot.code = Trim(s.getText("COD"));
            slot.detalle = s.getText("DETALLE");
            slot.importe = s.getAmount("IMPORTE");
            slot.dh = Trim(s.getText("DH")) == "D" ? 'D' : 'C';
        }
    });
    return slots;
}

} // namespace kesh::entries
