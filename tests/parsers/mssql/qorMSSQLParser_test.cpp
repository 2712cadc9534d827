#include "parsers/mssql/qorMSSQLParser.h"
#include <gtest/gtest.h>
TEST(MSSQLParserSmoke, Builds) { qor::TMSSQLParser p(nullptr); SUCCEED(); }
