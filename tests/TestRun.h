// What every test process sets up before its tests run (TestRun.cpp), and what a test asks of it.
#ifndef GIBO_TESTS_TESTRUN_H
#define GIBO_TESTS_TESTRUN_H

// Test directories are named kTempDirPrefix, the process id, '-' and more: each test process
// removes those of processes that are gone.
constexpr char kTempDirPrefix[] = "gibo-test-pid";

// Test processes may write files of up to 256 MiB; one of these lifts the limit while it
// lives, for a test that needs larger files.
class LargeFiles {
public:
    LargeFiles();
    ~LargeFiles();
    LargeFiles(const LargeFiles&) = delete;
    LargeFiles& operator=(const LargeFiles&) = delete;

private:
    unsigned long long m_limit = 0;
};

#endif  // GIBO_TESTS_TESTRUN_H
