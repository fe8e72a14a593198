// What the benchmarks share: a timer, repetition until a time is reached, and
// the run of the dialog's markup texts and generated documents through one
// measuring function.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

// The folder of the running benchmark, with a trailing backslash: the
// programs it starts are built beside it.
std::wstring ModuleFolder();

// The performance counter, in seconds.
double Seconds();

// Runs work once to warm caches and first-use lookups, then again and again
// for at least dMinimum seconds; answers the mean seconds of one run.
double SecondsPerRun(const std::function<void()>& work, double dMinimum = 0.5);

// Prints one line of document throughput, with pszDetail after the size, and
// answers nanoseconds per byte.
double ReportThroughput(const char* pszName, size_t nBytes, const char* pszDetail, double dSecondsPerRun);

// A document of about nBytes in code page 936: a declaration and a stack
// panel holding pszUtf8Block again and again.
std::string GenerateDocument(const char* pszUtf8Block, size_t nBytes);

// Measures the dialog's three markup texts and documents of 1 MB and 4 MB
// made of pszUtf8Block, then prints how the cost per byte grows. measure
// answers nanoseconds per byte, or 0 where the text did not load.
void MeasureDocuments(const char* pszUtf8Block,
                      const std::function<double(const char* pszName, const std::string& text)>& measure);
