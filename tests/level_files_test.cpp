#include "level_files.h"

#include <gtest/gtest.h>

#include "test_support.h"
