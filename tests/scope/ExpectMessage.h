// EXPECT_THROW_MESSAGE(statement, Exception, "message"): the statement raises Exception
// carrying exactly that message.
#pragma once

#include <gtest/gtest.h>

#include <string>

#define EXPECT_THROW_MESSAGE(statement, exception, message)          \
    do {                                                             \
        try {                                                        \
            statement;                                               \
            ADD_FAILURE() << #statement " did not raise";            \
        } catch (const exception& e) {                               \
            EXPECT_EQ(std::string(e.what()), message) << #statement; \
        }                                                            \
    } while (0)
