// Lets QCOMPARE print std::string values when they differ.
#pragma once

#include <QTest>
#include <string>

namespace QTest {
template <>
inline char* toString(const std::string& s) {
    return QTest::toString(QString::fromStdString(s));
}
}  // namespace QTest
