// The exit statuses of a run: the one place that defines them.
#pragma once

#include "platform/failure_report.h"

enum ExitStatus : int {
  // The run ended normally, with or without a module.
  ExitOk = 0,
  // An I/O call or an allocation failed; the failure report says which.
  ExitFailure = 1,
  // The argument is missing or empty, or there is more than one.
  ExitUsage = 101,
  // The package can't be opened for reading.
  ExitCantOpen = 102,
  // The output would be the package itself, with a module that doesn't
  // start at its first byte; nothing was written.
  ExitWouldOverwrite = 103,
};

static_assert(ExitFailure == FailureReportStatus, "the failure report ends a run with ExitFailure");
