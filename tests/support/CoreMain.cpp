#include "TestEnv.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    InitTestEnvironment(argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
