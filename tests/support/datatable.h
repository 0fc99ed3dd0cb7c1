#pragma once

#include <QtTest>
#include <initializer_list>

// A table of byte-string columns; the first entry of each row names it.
inline void table(std::initializer_list<const char *> columns,
                  std::initializer_list<std::initializer_list<const char *>> rows)
{
    for (const char *column : columns)
        QTest::addColumn<QByteArray>(column);
    for (const auto &row : rows) {
        auto data = &QTest::newRow(*row.begin());
        for (auto it = row.begin() + 1; it != row.end(); ++it)
            *data << QByteArray(*it);
    }
}

// The current row's entry in a byte-string column, as UTF-8 text.
inline QString cell(const char *column)
{
    return QString::fromUtf8(
        *static_cast<QByteArray *>(QTest::qData(column, qMetaTypeId<QByteArray>())));
}
