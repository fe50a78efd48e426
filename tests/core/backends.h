// Test suites whose bodies run once on each engine: instances named Sqlite
// and Postgres, the latter skipped with its reason when no test server runs.
#pragma once

#include "core/testutil.h"
#include "support/printqstring.h"

#include <gtest/gtest.h>
#include <ostream>
#include <QString>
#include <string>
#include <tuple>

inline std::string backendName(Backend b)
{
    return b == Backend::Sqlite ? "Sqlite" : "Postgres";
}

inline void skipWithoutServer(Backend b)
{
    if (b == Backend::Postgres && testServerConnInfo().isEmpty())
        GTEST_SKIP() << "no PostgreSQL test server: run under ctest, whose pg_server fixture "
                        "starts one, or start it with tests/pg/pgserver.sh";
}

// For TEST_P bodies that take only the engine as their parameter.
class BackendTest : public ::testing::TestWithParam<Backend>
{
  protected:
    void SetUp() override { skipWithoutServer(GetParam()); }
    Backend backend() const { return GetParam(); }
};

// For suites that already have a parameter of their own: the engine comes
// second, and the instance name ends in it.
template <typename T>
class BackendAndCaseTest : public ::testing::TestWithParam<std::tuple<T, Backend>>
{
  protected:
    void SetUp() override { skipWithoutServer(backend()); }
    Backend backend() const { return std::get<1>(this->GetParam()); }
    const T &testCase() const { return std::get<0>(this->GetParam()); }
};

#define SARVEK_BACKENDS ::testing::Values(Backend::Sqlite, Backend::Postgres)

#define INSTANTIATE_BACKENDS(Suite)                                                                \
    INSTANTIATE_TEST_SUITE_P(Engine, Suite, SARVEK_BACKENDS,                                       \
                             [](const auto &info) { return backendName(info.param); })
