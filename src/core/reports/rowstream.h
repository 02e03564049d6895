#pragma once
// The rows of a report as they are read. A layout asks for row i; the stream reads from its
// source (an open cursor on the report's procedure, see OpenReportStream) only as far as that,
// so the first page of a long report needs only its own rows. Rows read are kept, because a
// page is painted again from the layout state saved at its start; a single pass (the PDF, the
// printer) drops them as soon as they are behind it.
//
// One thread: the preview pulls rows from the event loop, a PDF from its writing loop.

#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kesh::reports {

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
    explicit RowStream(std::vector<Row> rows)
        : rows_(std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end())),
          ended_(true) {}
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
            rows_.push_back(std::move(r));
        }
        return true;
    }
    // Row i, after has(i) said it exists (and it was not dropped).
    const Row& operator[](size_t i) const { return rows_[i - base_]; }

    size_t read() const { return base_ + rows_.size(); }
    bool ended() const { return ended_; }
    const std::string& error() const { return error_; }

    // Rows before i will not be asked for again (a single pass over the report).
    void dropBefore(size_t i) {
        while (base_ < i && !rows_.empty()) {
            rows_.pop_front();
            ++base_;
        }
    }
    // Reads no further: releases the source; the rows read stay.
    void stop() {
        reader_ = nullptr;
        ended_ = true;
    }

private:
    std::deque<Row> rows_;
    size_t base_ = 0; // index of rows_.front()
    Reader reader_;
    bool ended_ = false;
    std::string error_;
};

} // namespace kesh::reports
