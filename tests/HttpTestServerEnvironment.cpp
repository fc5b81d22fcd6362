// Every test program that talks to the local server ends it when its tests are over.
#include <gtest/gtest.h>

#include "HttpTestServer.h"

namespace {

class TServerEnvironment : public testing::Environment {
public:
    void TearDown() override { StopTestServer(); }
};
[[maybe_unused]] testing::Environment* const serverEnvironment =
    testing::AddGlobalTestEnvironment(new TServerEnvironment);

}  // namespace
