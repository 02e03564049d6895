#include "db/database.h"

#include <firebird/Interface.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <unistd.h>

using namespace Firebird;

namespace kesh::db {
namespace {

// ISC_DATE counts days from 17/11/1858; our Date counts from 30/12/1899.
constexpr int32_t kIscDateShift = 15018;
constexpr unsigned kCharsetUtf8 = 4;

std::once_flag g_engineOnce;
IMaster* g_master = nullptr;
IProvider* g_provider = nullptr;
bool g_shutdown = false;

void ensureEngine() {
    std::call_once(g_engineOnce, [] {
        PrepareEngine();
        g_master = fb_get_master_interface();
        g_provider = g_master->getDispatcher();
        std::atexit(ShutdownEngine);
    });
    if (g_shutdown) throw DbError("El motor de base de datos ya fue cerrado.");
}

IMaster* master() {
    ensureEngine();
    return g_master;
}

std::string formatStatus(IStatus* s) {
    char buf[4096];
    master()->getUtilInterface()->formatStatus(buf, sizeof buf, s);
    return buf;
}

DbError toDbError(IStatus* s) {
    const intptr_t* errs = s->getErrors();
    int64_t gds = (errs && errs[0] == isc_arg_gds) ? int64_t(errs[1]) : 0;
    char state[6] = {0};
    fb_sqlstate(state, errs);
    return DbError(formatStatus(s), gds, state);
}

// Runs one or more OO API calls with a throwing status; Firebird errors become DbError.
template <class F>
auto fbcall(F&& f) {
    ThrowStatusWrapper st(master()->getStatus());
    struct Disposer {
        ThrowStatusWrapper& s;
        ~Disposer() { s.dispose(); }
    } disposer{st};
    try {
        return f(&st);
    } catch (const FbException& e) {
        throw toDbError(e.getStatus());
    }
}

std::string upper(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = char(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

std::string homeDir() {
    if (const char* h = std::getenv("HOME"); h && *h) return h;
    return "/tmp/kesh2-" + std::to_string(getuid());
}

void writeIfDifferent(const std::filesystem::path& p, const std::string& text) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream cur;
    if (in) cur << in.rdbuf();
    if (in && cur.str() == text) return;
    in.close();
    std::filesystem::path tmp = p;
    tmp += ".tmp" + std::to_string(getpid());
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << text;
    }
    std::filesystem::rename(tmp, p);
}

// Cuts a UTF-8 text after `chars` characters (CHAR columns come padded to 4 bytes a char).
std::string cutChars(const char* p, size_t bytes, size_t chars) {
    size_t i = 0, n = 0;
    while (i < bytes && n < chars) {
        unsigned char c = static_cast<unsigned char>(p[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        i += len;
        ++n;
    }
    return std::string(p, std::min(i, bytes));
}

std::string formatScaled(int64_t v, int scale) {
    if (scale >= 0) {
        std::string s = std::to_string(v);
        if (v != 0) s.append(size_t(scale), '0');
        return s;
    }
    bool neg = v < 0;
    uint64_t a = neg ? uint64_t(0) - uint64_t(v) : uint64_t(v);
    std::string digits = std::to_string(a);
    size_t dec = size_t(-scale);
    if (digits.size() <= dec) digits.insert(0, dec - digits.size() + 1, '0');
    digits.insert(digits.size() - dec, ".");
    return neg ? "-" + digits : digits;
}

} // namespace

// ---------------------------------------------------------------- errors

DbError::DbError(const std::string& serverText, int64_t gdscode, std::string sqlstate)
    : std::runtime_error(serverText), serverText_(serverText), gdscode_(gdscode),
      sqlstate_(std::move(sqlstate)) {}

DbError DbError::withContext(const std::string& ctx) const {
    DbError e(ctx + ": " + what(), gdscode_, sqlstate_);
    e.serverText_ = serverText_;
    e.context_ = context_;
    e.context_.insert(e.context_.begin(), ctx);
    return e;
}

bool DbError::isUniqueViolation() const {
    return gdscode_ == isc_unique_key_violation || gdscode_ == isc_no_dup;
}

bool DbError::isLockConflict() const {
    return gdscode_ == isc_deadlock || gdscode_ == isc_update_conflict ||
           gdscode_ == isc_lock_conflict || gdscode_ == isc_lock_timeout ||
           sqlstate_ == "40001";
}

bool DbError::isConnectionFailure() const {
    return gdscode_ == isc_network_error || gdscode_ == isc_net_read_err ||
           gdscode_ == isc_net_write_err || gdscode_ == isc_unavailable ||
           gdscode_ == isc_io_error || gdscode_ == isc_conn_lost || gdscode_ == isc_shutdown;
}

// ---------------------------------------------------------------- engine

void PrepareEngine(const std::string& rootDir) {
    if (std::getenv("FIREBIRD")) return;
    std::filesystem::path root;
    if (!rootDir.empty()) {
        root = rootDir;
    } else if (const char* x = std::getenv("XDG_CACHE_HOME"); x && *x) {
        root = std::filesystem::path(x) / "kesh2" / "fbroot";
    } else {
        root = std::filesystem::path(homeDir()) / ".cache" / "kesh2" / "fbroot";
    }
    std::error_code ec;
    std::filesystem::create_directories(root / "lock", ec);
    if (ec) return;  // fall back to the system's configuration
    // SuperClassic lets several processes share one file. No intl module is copied here:
    // UTF8 is built into the engine, and a copied module crashed processes at exit.
    try {
        writeIfDifferent(root / "firebird.conf", "ServerMode = SuperClassic\n");
    } catch (...) {
        return;
    }
    setenv("FIREBIRD", root.c_str(), 1);
    setenv("FIREBIRD_LOCK", (root / "lock").c_str(), 1);
}

void ShutdownEngine() {
    if (!g_provider || g_shutdown) return;
    g_shutdown = true;
    CheckStatusWrapper st(g_master->getStatus());
    g_provider->shutdown(&st, 0, fb_shutrsn_app_stopped);
    st.dispose();
    g_provider->release();
    g_provider = nullptr;
}

// ---------------------------------------------------------------- connection

struct Connection::State {
    IAttachment* att = nullptr;
    std::string dsn;
    ~State() {
        if (!att || g_shutdown) return;
        CheckStatusWrapper st(master()->getStatus());
        att->detach(&st);
        if (st.getState() & IStatus::STATE_ERRORS) att->release();
        st.dispose();
    }
};

struct Transaction::State {
    std::shared_ptr<Connection::State> conn;
    ITransaction* tra = nullptr;
};

bool Connection::isRemoteName(std::string_view dsn) {
    if (dsn.rfind("inet://", 0) == 0 || dsn.rfind("inet4://", 0) == 0 ||
        dsn.rfind("inet6://", 0) == 0 || dsn.rfind("xnet://", 0) == 0)
        return true;
    if (dsn.empty() || dsn[0] == '/' || dsn[0] == '.' || dsn[0] == '~') return false;
    size_t colon = dsn.find(':');
    // "c:..." is a drive letter, not a host.
    return colon != std::string_view::npos && colon > 1;
}

namespace {
IAttachment* attach(const std::string& dsn, const std::string& user, const std::string& pass,
                    bool create) {
    ensureEngine();
    return fbcall([&](ThrowStatusWrapper* st) {
        IUtil* util = g_master->getUtilInterface();
        IXpbBuilder* dpb = util->getXpbBuilder(st, IXpbBuilder::DPB, nullptr, 0);
        struct D { IXpbBuilder* b; ~D() { b->dispose(); } } guard{dpb};
        dpb->insertString(st, isc_dpb_user_name, user.c_str());
        dpb->insertString(st, isc_dpb_password, pass.c_str());
        dpb->insertString(st, isc_dpb_lc_ctype, "UTF8");
        // A plain path must open the file in-process, never slip onto a local server.
        if (!Connection::isRemoteName(dsn))
            dpb->insertString(st, isc_dpb_config, "Providers = Engine12");
        if (create) {
            dpb->insertInt(st, isc_dpb_sql_dialect, 3);
            dpb->insertInt(st, isc_dpb_page_size, 16384);
            dpb->insertString(st, isc_dpb_set_db_charset, "UTF8");
            return g_provider->createDatabase(st, dsn.c_str(), dpb->getBufferLength(st),
                                              dpb->getBuffer(st));
        }
        return g_provider->attachDatabase(st, dsn.c_str(), dpb->getBufferLength(st),
                                          dpb->getBuffer(st));
    });
}
} // namespace

Connection Connection::open(const std::string& dsn) { return open(dsn, kUser, kPassword); }

Connection Connection::open(const std::string& dsn, const std::string& user,
                            const std::string& password) {
    auto st = std::make_shared<State>();
    st->dsn = dsn;
    st->att = attach(dsn, user, password, false);
    return Connection(std::move(st));
}

Connection Connection::create(const std::string& path) {
    auto st = std::make_shared<State>();
    st->dsn = path;
    st->att = attach(path, kUser, kPassword, true);
    return Connection(std::move(st));
}

Connection::Connection(Connection&&) noexcept = default;
Connection& Connection::operator=(Connection&&) noexcept = default;
Connection::~Connection() = default;

bool Connection::isOpen() const { return st_ && st_->att; }
const std::string& Connection::dsn() const {
    static const std::string empty;
    return st_ ? st_->dsn : empty;
}

void Connection::close() {
    if (!st_ || !st_->att) return;
    fbcall([&](ThrowStatusWrapper* s) { st_->att->detach(s); });
    st_->att = nullptr;
}

Transaction Connection::begin(const TxOptions& opts) {
    if (!isOpen()) throw DbError("La conexión con la base de datos está cerrada.");
    auto ts = std::make_shared<Transaction::State>();
    ts->conn = st_;
    ts->tra = fbcall([&](ThrowStatusWrapper* s) {
        IXpbBuilder* tpb =
            master()->getUtilInterface()->getXpbBuilder(s, IXpbBuilder::TPB, nullptr, 0);
        struct D { IXpbBuilder* b; ~D() { b->dispose(); } } guard{tpb};
        if (opts.isolation == Isolation::Snapshot) {
            tpb->insertTag(s, isc_tpb_concurrency);
        } else {
            tpb->insertTag(s, isc_tpb_read_committed);
            tpb->insertTag(s, isc_tpb_rec_version);
        }
        tpb->insertTag(s, opts.readOnly ? isc_tpb_read : isc_tpb_write);
        if (opts.lockTimeoutSeconds == 0) {
            tpb->insertTag(s, isc_tpb_nowait);
        } else {
            tpb->insertTag(s, isc_tpb_wait);
            if (opts.lockTimeoutSeconds > 0)
                tpb->insertInt(s, isc_tpb_lock_timeout, opts.lockTimeoutSeconds);
        }
        return st_->att->startTransaction(s, tpb->getBufferLength(s), tpb->getBuffer(s));
    });
    return Transaction(std::move(ts));
}

void Connection::executeImmediate(std::string_view sql) {
    Transaction tr = begin();
    tr.execute(sql);
    tr.commit();
}

// ---------------------------------------------------------------- transaction

Transaction::Transaction(Transaction&&) noexcept = default;
Transaction& Transaction::operator=(Transaction&& o) noexcept {
    if (this != &o) {
        if (active()) {
            try { rollback(); } catch (...) {}
        }
        st_ = std::move(o.st_);
    }
    return *this;
}

Transaction::~Transaction() {
    if (!active() || g_shutdown) return;
    CheckStatusWrapper s(master()->getStatus());
    st_->tra->rollback(&s);
    if (s.getState() & IStatus::STATE_ERRORS) st_->tra->release();
    s.dispose();
    st_->tra = nullptr;
}

bool Transaction::active() const { return st_ && st_->tra; }

void Transaction::commit() {
    if (!active()) throw DbError("La transacción ya terminó.");
    fbcall([&](ThrowStatusWrapper* s) { st_->tra->commit(s); });
    st_->tra = nullptr;
}

void Transaction::rollback() {
    if (!active()) return;
    ITransaction* t = st_->tra;
    st_->tra = nullptr;
    try {
        fbcall([&](ThrowStatusWrapper* s) { t->rollback(s); });
    } catch (...) {
        t->release();
        throw;
    }
}

void Transaction::commitRetaining() {
    if (!active()) throw DbError("La transacción ya terminó.");
    fbcall([&](ThrowStatusWrapper* s) { st_->tra->commitRetaining(s); });
}

uint64_t Transaction::execute(std::string_view sql, const Params& params) {
    Statement s(*this, sql);
    return s.execute(params);
}

namespace {
template <class T, class Get>
T firstValue(Transaction& tr, std::string_view sql, const Params& params, Get get) {
    Statement s = tr.prepare(sql);
    s.open(params);
    if (!s.next() || s.columnCount() == 0) return T{};
    return get(s);
}
} // namespace

int64_t Transaction::queryInt(std::string_view sql, const Params& params) {
    return firstValue<int64_t>(*this, sql, params, [](Statement& s) { return s.getInt(0); });
}
std::string Transaction::queryText(std::string_view sql, const Params& params) {
    return firstValue<std::string>(*this, sql, params, [](Statement& s) { return s.getText(0); });
}
Amount Transaction::queryAmount(std::string_view sql, const Params& params) {
    return firstValue<Amount>(*this, sql, params, [](Statement& s) { return s.getAmount(0); });
}
Date Transaction::queryDate(std::string_view sql, const Params& params) {
    return firstValue<Date>(*this, sql, params, [](Statement& s) { return s.getDate(0); });
}

int64_t Transaction::insertReturningId(std::string_view sql, const Params& params) {
    Statement s(*this, sql);
    s.execute(params);
    if (!s.hasRow() || s.columnCount() == 0 || s.isNull(0))
        throw DbError("La sentencia no devolvió la clave del registro nuevo.");
    return s.getInt(0);
}

// ---------------------------------------------------------------- statement

namespace {
struct Column {
    std::string name;
    unsigned type = 0;
    int scale = 0;
    int subType = 0;
    unsigned charset = 0;
    unsigned length = 0;
    unsigned offset = 0;
    unsigned nullOffset = 0;
};

enum class Kind : uint8_t { Null, Int, Double, Text, Money, Day, Bool };
} // namespace

struct Statement::Impl {
    std::shared_ptr<Transaction::State> tx;
    IStatement* stmt = nullptr;
    IResultSet* rs = nullptr;
    unsigned type = 0;
    IMessageMetadata* baseIn = nullptr;   // the statement's own parameter layout
    IMessageMetadata* in = nullptr;       // the layout of the values we bind
    std::vector<std::pair<Kind, unsigned>> inShape;
    std::vector<unsigned char> inBuf;
    IMessageMetadata* out = nullptr;
    std::vector<Column> cols;
    std::vector<unsigned char> outBuf;
    bool hasRow = false;

    ITransaction* tra() const {
        if (!tx || !tx->tra) throw DbError("La transacción ya terminó.");
        return tx->tra;
    }

    ~Impl() {
        if (g_shutdown) return;
        closeCursor();
        CheckStatusWrapper s(master()->getStatus());
        if (stmt) {
            stmt->free(&s);
            if (s.getState() & IStatus::STATE_ERRORS) stmt->release();
        }
        s.dispose();
        if (baseIn) baseIn->release();
        if (in) in->release();
        if (out) out->release();
    }

    void closeCursor() {
        hasRow = false;
        if (!rs) return;
        CheckStatusWrapper s(master()->getStatus());
        rs->close(&s);
        if (s.getState() & IStatus::STATE_ERRORS) rs->release();
        s.dispose();
        rs = nullptr;
    }

    void bind(const Params& params) {
        unsigned count = fbcall([&](ThrowStatusWrapper* s) { return baseIn->getCount(s); });
        if (params.size() != count)
            throw DbError("La sentencia espera " + std::to_string(count) +
                          " valores y recibió " + std::to_string(params.size()) + ".");
        std::vector<std::pair<Kind, unsigned>> shape;
        shape.reserve(count);
        for (const Value& v : params) {
            const auto& x = v.get();
            switch (x.index()) {
            case 0: shape.push_back({Kind::Null, 0}); break;
            case 1: shape.push_back({Kind::Int, 0}); break;
            case 2: shape.push_back({Kind::Double, 0}); break;
            case 3: {
                // Grow in steps so a run of texts of different lengths reuses the layout.
                unsigned len = unsigned(std::get<std::string>(x).size());
                shape.push_back({Kind::Text, std::max(64u, (len + 63u) / 64u * 64u)});
                break;
            }
            case 4: shape.push_back({Kind::Money, 0}); break;
            case 5: shape.push_back({Kind::Day, 0}); break;
            case 6: shape.push_back({Kind::Bool, 0}); break;
            }
        }
        fbcall([&](ThrowStatusWrapper* s) {
            if (!in || shape != inShape) {
                IMetadataBuilder* b = baseIn->getBuilder(s);
                struct R { IMetadataBuilder* b; ~R() { b->release(); } } guard{b};
                for (unsigned i = 0; i < count; ++i) {
                    switch (shape[i].first) {
                    case Kind::Null: {
                        // Keep the parameter's own type; only the null flag is set.
                        unsigned t = baseIn->getType(s, i);
                        b->setType(s, i, t | 1);
                        break;
                    }
                    case Kind::Int:
                        b->setType(s, i, SQL_INT64 | 1);
                        b->setLength(s, i, sizeof(int64_t));
                        b->setScale(s, i, 0);
                        break;
                    case Kind::Double:
                        b->setType(s, i, SQL_DOUBLE | 1);
                        b->setLength(s, i, sizeof(double));
                        b->setScale(s, i, 0);
                        break;
                    case Kind::Text:
                        b->setType(s, i, SQL_VARYING | 1);
                        b->setCharSet(s, i, kCharsetUtf8);
                        b->setLength(s, i, shape[i].second);
                        b->setScale(s, i, 0);
                        break;
                    case Kind::Money:
                        b->setType(s, i, SQL_INT64 | 1);
                        b->setLength(s, i, sizeof(int64_t));
                        b->setScale(s, i, -2);
                        break;
                    case Kind::Day:
                        b->setType(s, i, SQL_TYPE_DATE | 1);
                        b->setLength(s, i, sizeof(ISC_DATE));
                        b->setScale(s, i, 0);
                        break;
                    case Kind::Bool:
                        b->setType(s, i, SQL_BOOLEAN | 1);
                        b->setLength(s, i, 1);
                        b->setScale(s, i, 0);
                        break;
                    }
                }
                if (in) in->release();
                in = b->getMetadata(s);
                inShape = shape;
                inBuf.assign(in->getMessageLength(s), 0);
            }
            for (unsigned i = 0; i < count; ++i) {
                unsigned char* p = inBuf.data() + in->getOffset(s, i);
                short* nul = reinterpret_cast<short*>(inBuf.data() + in->getNullOffset(s, i));
                const auto& x = params[i].get();
                *nul = 0;
                switch (shape[i].first) {
                case Kind::Null: *nul = -1; break;
                case Kind::Int: {
                    int64_t v = std::get<int64_t>(x);
                    std::memcpy(p, &v, sizeof v);
                    break;
                }
                case Kind::Double: {
                    double v = std::get<double>(x);
                    std::memcpy(p, &v, sizeof v);
                    break;
                }
                case Kind::Text: {
                    const std::string& v = std::get<std::string>(x);
                    uint16_t len = uint16_t(v.size());
                    std::memcpy(p, &len, sizeof len);
                    std::memcpy(p + 2, v.data(), v.size());
                    break;
                }
                case Kind::Money: {
                    int64_t v = std::get<Amount>(x).cents();
                    std::memcpy(p, &v, sizeof v);
                    break;
                }
                case Kind::Day: {
                    ISC_DATE v = std::get<Date>(x).serial() + kIscDateShift;
                    std::memcpy(p, &v, sizeof v);
                    break;
                }
                case Kind::Bool: *p = std::get<bool>(x) ? 1 : 0; break;
                }
            }
        });
    }

    const Column& col(int i) const {
        if (i < 0 || size_t(i) >= cols.size())
            throw DbError("Columna inexistente: " + std::to_string(i));
        return cols[size_t(i)];
    }
    int find(std::string_view name) const {
        std::string u = upper(name);
        for (size_t i = 0; i < cols.size(); ++i)
            if (cols[i].name == u) return int(i);
        return -1;
    }
    int need(std::string_view name) const {
        int i = find(name);
        if (i < 0) throw DbError("La consulta no tiene la columna " + std::string(name) + ".");
        return i;
    }
    void needRow() const {
        if (!hasRow) throw DbError("No hay una fila leída.");
    }
    bool null(int i) const {
        needRow();
        const Column& c = col(i);
        return *reinterpret_cast<const short*>(outBuf.data() + c.nullOffset) != 0;
    }
    const unsigned char* data(int i) const { return outBuf.data() + col(i).offset; }

    // Integer value and its scale, for the exact numeric types.
    bool scaled(int i, int64_t& v, int& scale) const {
        const Column& c = col(i);
        const unsigned char* p = data(i);
        scale = c.scale;
        switch (c.type) {
        case SQL_SHORT: { int16_t x; std::memcpy(&x, p, 2); v = x; return true; }
        case SQL_LONG: { int32_t x; std::memcpy(&x, p, 4); v = x; return true; }
        case SQL_INT64: { int64_t x; std::memcpy(&x, p, 8); v = x; return true; }
        case SQL_BOOLEAN: v = *p ? 1 : 0; scale = 0; return true;
        default: return false;
        }
    }

    std::string text(int i) const {
        const Column& c = col(i);
        const char* p = reinterpret_cast<const char*>(data(i));
        switch (c.type) {
        case SQL_TEXT:
            if (c.charset == kCharsetUtf8) return cutChars(p, c.length, c.length / 4);
            return std::string(p, c.length);
        case SQL_VARYING: {
            uint16_t len;
            std::memcpy(&len, p, 2);
            return std::string(p + 2, len);
        }
        case SQL_BLOB: return readBlob(i);
        case SQL_FLOAT: { float f; std::memcpy(&f, p, 4); return fmt(f); }
        case SQL_DOUBLE:
        case SQL_D_FLOAT: { double d; std::memcpy(&d, p, 8); return fmt(d); }
        case SQL_TYPE_DATE:
        case SQL_TIMESTAMP: return date(i).toDisplay();
        default: {
            int64_t v;
            int scale;
            if (scaled(i, v, scale)) return formatScaled(v, scale);
            return {};
        }
        }
    }

    static std::string fmt(double d) {
        std::ostringstream o;
        o.precision(15);
        o << d;
        return o.str();
    }

    Date date(int i) const {
        const Column& c = col(i);
        if (c.type == SQL_TYPE_DATE || c.type == SQL_TIMESTAMP) {
            ISC_DATE v;
            std::memcpy(&v, data(i), sizeof v);
            return Date::fromSerial(int32_t(v) - kIscDateShift);
        }
        if (c.type == SQL_TEXT || c.type == SQL_VARYING) {
            std::string t = text(i);
            if (auto d = Date::parseDisplay(t)) return *d;
            if (auto d = Date::parseIso(t)) return *d;
        }
        return Date();
    }

    double dbl(int i) const {
        const Column& c = col(i);
        const unsigned char* p = data(i);
        if (c.type == SQL_DOUBLE || c.type == SQL_D_FLOAT) { double d; std::memcpy(&d, p, 8); return d; }
        if (c.type == SQL_FLOAT) { float f; std::memcpy(&f, p, 4); return f; }
        int64_t v;
        int scale;
        if (scaled(i, v, scale)) {
            double d = double(v);
            for (int k = 0; k < scale; ++k) d *= 10;
            for (int k = 0; k > scale; --k) d /= 10;
            return d;
        }
        if (c.type == SQL_TEXT || c.type == SQL_VARYING) return std::strtod(text(i).c_str(), nullptr);
        return 0;
    }

    std::string readBlob(int i) const {
        ISC_QUAD id;
        std::memcpy(&id, data(i), sizeof id);
        return fbcall([&](ThrowStatusWrapper* s) {
            IBlob* blob = tx->conn->att->openBlob(s, tra(), &id, 0, nullptr);
            std::string result;
            char buf[16384];
            for (;;) {
                unsigned got = 0;
                int r = blob->getSegment(s, sizeof buf, buf, &got);
                if (r == IStatus::RESULT_OK || r == IStatus::RESULT_SEGMENT)
                    result.append(buf, got);
                else
                    break;
            }
            blob->close(s);
            return result;
        });
    }
};

Statement::Statement(Transaction& tr, std::string_view sql) : d_(std::make_unique<Impl>()) {
    if (!tr.active()) throw DbError("La transacción ya terminó.");
    d_->tx = tr.st_;
    std::string text(sql);
    fbcall([&](ThrowStatusWrapper* s) {
        d_->stmt = d_->tx->conn->att->prepare(s, d_->tx->tra, 0, text.c_str(), SQL_DIALECT_V6,
                                             IStatement::PREPARE_PREFETCH_METADATA);
        d_->type = d_->stmt->getType(s);
        d_->baseIn = d_->stmt->getInputMetadata(s);
        d_->out = d_->stmt->getOutputMetadata(s);
        unsigned n = d_->out->getCount(s);
        d_->cols.resize(n);
        for (unsigned i = 0; i < n; ++i) {
            Column& c = d_->cols[i];
            c.name = upper(d_->out->getAlias(s, i));
            c.type = d_->out->getType(s, i) & ~1u;
            c.scale = d_->out->getScale(s, i);
            c.subType = d_->out->getSubType(s, i);
            c.charset = d_->out->getCharSet(s, i);
            c.length = d_->out->getLength(s, i);
            c.offset = d_->out->getOffset(s, i);
            c.nullOffset = d_->out->getNullOffset(s, i);
        }
        d_->outBuf.assign(d_->out->getMessageLength(s), 0);
    });
}

Statement::~Statement() = default;
Statement::Statement(Statement&&) noexcept = default;
Statement& Statement::operator=(Statement&&) noexcept = default;

uint64_t Statement::execute(const Params& params) {
    if (d_->type == isc_info_sql_stmt_select || d_->type == isc_info_sql_stmt_select_for_upd) {
        open(params);
        next();
        return 0;
    }
    d_->closeCursor();
    d_->bind(params);
    return fbcall([&](ThrowStatusWrapper* s) {
        bool returns = !d_->cols.empty();
        d_->stmt->execute(s, d_->tra(), d_->in, d_->inBuf.data(), returns ? d_->out : nullptr,
                          returns ? d_->outBuf.data() : nullptr);
        d_->hasRow = returns;
        return d_->stmt->getAffectedRecords(s);
    });
}

void Statement::open(const Params& params) {
    d_->closeCursor();
    d_->bind(params);
    fbcall([&](ThrowStatusWrapper* s) {
        d_->rs = d_->stmt->openCursor(s, d_->tra(), d_->in, d_->inBuf.data(), d_->out, 0);
    });
}

bool Statement::next() {
    if (!d_->rs) {
        d_->hasRow = false;
        return false;
    }
    int r = fbcall([&](ThrowStatusWrapper* s) { return d_->rs->fetchNext(s, d_->outBuf.data()); });
    d_->hasRow = r == IStatus::RESULT_OK;
    if (!d_->hasRow) d_->closeCursor();
    return d_->hasRow;
}

void Statement::close() { d_->closeCursor(); }
bool Statement::hasRow() const { return d_->hasRow; }
int Statement::columnCount() const { return int(d_->cols.size()); }
std::string Statement::columnName(int index) const { return d_->col(index).name; }
int Statement::columnIndex(std::string_view name) const { return d_->find(name); }

bool Statement::isNull(int i) const { return d_->null(i); }
int64_t Statement::getInt(int i) const {
    if (d_->null(i)) return 0;
    int64_t v;
    int scale;
    if (d_->scaled(i, v, scale)) {
        for (int k = 0; k < scale; ++k) v *= 10;
        for (int k = 0; k > scale; --k) v /= 10;
        return v;
    }
    const Column& c = d_->col(i);
    if (c.type == SQL_DOUBLE || c.type == SQL_FLOAT || c.type == SQL_D_FLOAT)
        return int64_t(d_->dbl(i));
    if (c.type == SQL_TEXT || c.type == SQL_VARYING)
        return std::strtoll(d_->text(i).c_str(), nullptr, 10);
    return 0;
}
double Statement::getDouble(int i) const { return d_->null(i) ? 0.0 : d_->dbl(i); }
Amount Statement::getAmount(int i) const {
    if (d_->null(i)) return Amount();
    int64_t v;
    int scale;
    if (d_->scaled(i, v, scale)) return Amount::fromScaled(v, scale);
    const Column& c = d_->col(i);
    if (c.type == SQL_TEXT || c.type == SQL_VARYING) return Amount::parse(d_->text(i)).value_or(Amount());
    // A floating column: round half away from zero to centavos.
    double x = d_->dbl(i) * 100.0;
    return Amount::fromCents(int64_t(x < 0 ? x - 0.5 : x + 0.5));
}
Date Statement::getDate(int i) const { return d_->null(i) ? Date() : d_->date(i); }
std::string Statement::getText(int i) const { return d_->null(i) ? std::string() : d_->text(i); }

bool Statement::isNull(std::string_view c) const { return isNull(d_->need(c)); }
int64_t Statement::getInt(std::string_view c) const { return getInt(d_->need(c)); }
double Statement::getDouble(std::string_view c) const { return getDouble(d_->need(c)); }
Amount Statement::getAmount(std::string_view c) const { return getAmount(d_->need(c)); }
Date Statement::getDate(std::string_view c) const { return getDate(d_->need(c)); }
std::string Statement::getText(std::string_view c) const { return getText(d_->need(c)); }

} // namespace kesh::db
