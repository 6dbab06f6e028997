// Appending rows to a table. The Parts describe tables that grow in steps of
// 1000 rows and are trimmed to the rows filled when the filling operation
// ends; only those final lengths are observable, so rows are constructed in
// place at the end instead. A pass that can count what it appends reserves
// it first (reserveMore), so the table is allocated once and no row is moved
// or zeroed twice. Rows appended before an exception stay.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace velmora {

inline constexpr std::size_t kTableGrowthStep = 1000;

// Makes room for `extra` more rows without moving rows later; keeps any
// larger room already reserved.
template <class Row>
void reserveMoreRows(std::vector<Row>& table, std::size_t extra) {
    if (table.capacity() - table.size() < extra) table.reserve(table.size() + extra);
}

template <class Row>
class TableAppender {
public:
    explicit TableAppender(std::vector<Row>& table) : table_(table) {}
    TableAppender(const TableAppender&) = delete;
    TableAppender& operator=(const TableAppender&) = delete;

    void reserveMore(std::size_t extra) { reserveMoreRows(table_, extra); }

    // A zeroed row at the end. The reference is valid until the next append.
    Row& append() { return table_.emplace_back(); }
    Row& append(const Row& copy) { return table_.emplace_back(copy); }
    Row& append(Row&& row) { return table_.emplace_back(std::move(row)); }

    std::size_t count() const { return table_.size(); }
    Row& operator[](std::size_t i) { return table_[i]; }
    const Row& operator[](std::size_t i) const { return table_[i]; }

private:
    std::vector<Row>& table_;
};

}  // namespace velmora
