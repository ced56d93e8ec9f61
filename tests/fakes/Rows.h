#pragma once

#include <QTest>

#include <tuple>

namespace nudgewatch::fakes {

// A data-driven test whose table has one tuple column, "row": each row lists its
// values in order and the test takes them apart with a structured binding.
template <typename Row> Row fetchRow()
{
    return *static_cast<Row *>(QTest::qData("row", qMetaTypeId<Row>()));
}

} // namespace nudgewatch::fakes
