#pragma once
// The rows of a report as they are read. A layout asks for row i; the stream reads from its
// source (an open cursor on the report's procedure, see OpenReportStream) only as far as that,
// so the first page of a long report needs only its own rows. Rows read are kept, because a
// page is painted again from the layout state saved at its start; a single pass (the PDF, the
// printer) drops them as soon as they are behind it.
//
// Rows are kept packed, a few dozen bytes each instead of a struct of strings: numbers and
// dates as their bytes, texts in a text area per chunk of rows where a text repeated inside
// the chunk (the account of many lines, the description of an entry's lines) is stored once.
// A row is unpacked when asked for; the last few stay unpacked, so a reference to a row stays
// good while a layout looks at it and its neighbour.
//
// A row type takes part by a ForEachField(Row&, f) overload that calls f on every member
// (std::string or trivially copyable), found by argument-dependent lookup.
//
// One thread: the preview pulls rows from the event loop, a PDF from its writing loop.

#include <array>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <vector>

namespace kesh::reports {

namespace detail {

template <class Row>
class PackedRows {
public:
    static constexpr size_t kChunkRows = 4096;

    size_t size() const { return size_; }

    void push(Row& r) {
        if (chunks_.empty() || chunks_.back().rows == kChunkRows) {
            chunks_.emplace_back();
            chunks_.back().bytes.reserve(kChunkRows * rowSize());
            seen_.clear(); // texts are shared only inside a chunk
        }
        Chunk& c = chunks_.back();
        ForEachField(r, [&](auto& field) { put(c, field); });
        ++c.rows;
        ++size_;
    }

    // Row i (0 is the first row kept).
    void get(size_t i, Row& out) const {
        const Chunk& c = chunks_[i / kChunkRows];
        const unsigned char* p = c.bytes.data() + (i % kChunkRows) * rowSize();
        ForEachField(out, [&](auto& field) { take(c, p, field); });
    }

    // Forgets the whole chunks before row i; returns how many rows went.
    size_t dropBefore(size_t i) {
        size_t dropped = 0;
        while (chunks_.size() > 1 && dropped + kChunkRows <= i) {
            chunks_.pop_front();
            dropped += kChunkRows;
        }
        size_ -= dropped;
        return dropped;
    }

private:
    struct Chunk {
        std::vector<unsigned char> bytes; // rowSize() bytes a row
        std::string texts;                // each text: its 4-byte length, then its bytes
        size_t rows = 0;
    };

    static size_t rowSize() {
        static const size_t size = [] {
            Row r;
            size_t n = 0;
            ForEachField(r, [&](auto& field) { n += packedSize(field); });
            return n;
        }();
        return size;
    }
    static size_t packedSize(const std::string&) { return sizeof(uint32_t); }
    template <class T>
    static size_t packedSize(const T&) {
        static_assert(std::is_trivially_copyable_v<T>);
        return sizeof(T);
    }

    void put(Chunk& c, const std::string& s) {
        auto [it, fresh] = seen_.try_emplace(s, uint32_t(c.texts.size()));
        if (fresh) {
            const uint32_t n = uint32_t(s.size());
            c.texts.append(reinterpret_cast<const char*>(&n), sizeof n);
            c.texts.append(s);
        }
        putBytes(c, &it->second, sizeof(uint32_t));
    }
    template <class T>
    void put(Chunk& c, const T& v) {
        putBytes(c, &v, sizeof v);
    }
    static void putBytes(Chunk& c, const void* v, size_t n) {
        const auto* b = static_cast<const unsigned char*>(v);
        c.bytes.insert(c.bytes.end(), b, b + n);
    }

    static void take(const Chunk& c, const unsigned char*& p, std::string& s) {
        uint32_t at = 0, n = 0;
        std::memcpy(&at, p, sizeof at);
        p += sizeof at;
        std::memcpy(&n, c.texts.data() + at, sizeof n);
        s.assign(c.texts.data() + at + sizeof n, n);
    }
    template <class T>
    static void take(const Chunk&, const unsigned char*& p, T& v) {
        std::memcpy(&v, p, sizeof v);
        p += sizeof v;
    }

    std::deque<Chunk> chunks_;
    std::unordered_map<std::string, uint32_t> seen_; // texts of the last chunk
    size_t size_ = 0;
};

} // namespace detail

// A read that failed half way (lost connection, failing procedure). what() is the Spanish
// text shown to the user.
class ReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

template <class Row>
class RowStream {
public:
    // Gives the next row; false at the end. May throw.
    using Reader = std::function<bool(Row&)>;

    // Every row known already.
    explicit RowStream(std::vector<Row> rows) : ended_(true) {
        for (Row& r : rows) rows_.push(r);
    }
    // Rows read from `reader` as they are asked for; the reader (and whatever it holds open)
    // is released at the end, on a failure and on stop().
    explicit RowStream(Reader reader) : reader_(std::move(reader)), ended_(!reader_) {}

    // Whether row i exists, reading up to it. A failed read throws ReadError, then and on
    // every later call that needs a row not read.
    bool has(size_t i) {
        while (i >= base_ + rows_.size()) {
            if (!error_.empty()) throw ReadError(error_);
            if (ended_) return false;
            Row r;
            bool more = false;
            try {
                more = reader_(r);
            } catch (const std::exception& e) {
                error_ = e.what();
                if (error_.empty()) error_ = "No se pudo leer el informe.";
                reader_ = nullptr;
                throw ReadError(error_);
            }
            if (!more) {
                ended_ = true;
                reader_ = nullptr;
                return false;
            }
            rows_.push(r);
        }
        return true;
    }
    // Row i, after has(i) said it exists (and it was not dropped). The reference stays good
    // until three other rows have been asked for.
    const Row& operator[](size_t i) const {
        for (const Unpacked& u : unpacked_)
            if (u.index == i) return u.row;
        Unpacked& u = unpacked_[nextSlot_];
        nextSlot_ = (nextSlot_ + 1) % unpacked_.size();
        rows_.get(i - base_, u.row);
        u.index = i;
        return u.row;
    }

    size_t read() const { return base_ + rows_.size(); }
    bool ended() const { return ended_; }
    const std::string& error() const { return error_; }

    // Rows before i will not be asked for again (a single pass over the report): the chunks
    // wholly before it are forgotten.
    void dropBefore(size_t i) {
        if (i > base_) base_ += rows_.dropBefore(i - base_);
    }
    // Reads no further: releases the source; the rows read stay.
    void stop() {
        reader_ = nullptr;
        ended_ = true;
    }

private:
    struct Unpacked {
        size_t index = size_t(-1);
        Row row;
    };
    detail::PackedRows<Row> rows_;
    size_t base_ = 0; // index of the first row kept
    mutable std::array<Unpacked, 4> unpacked_;
    mutable size_t nextSlot_ = 0;
    Reader reader_;
    bool ended_ = false;
    std::string error_;
};

} // namespace kesh::reports
