// Keeps the toolkit test program buildable until its first tests land.
#include <gtest/gtest.h>
