#pragma once

#include <QObject>

// Several Qt Test classes in one executable. Each test file registers its classes with
// WEBCAMS_TEST(ClassName); the shared main runs them all, or the one named by "-class Name"
// (CTest runs each class as a test of its own, so they run side by side).
using TestFactory = QObject* (*)();
bool registerTest(const char* name, TestFactory factory);

#define WEBCAMS_TEST(Class)                                                                        \
    static const bool Class##Registered =                                                          \
        registerTest(#Class, []() -> QObject* { return new Class; });
