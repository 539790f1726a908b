#pragma once

#include "renameplan.h"

#include <functional>
#include <vector>

// Orders the steps so that none meets a name that another step has yet to vacate. A cycle
// (each waiting on the next) goes through a free name from `temporaryName`, in two steps.
std::vector<RenameStep> orderSteps(std::vector<RenameStep> steps,
                                   const std::function<QByteArray()>& temporaryName);
