// Screen transitions installed and stepped through the API.
#include "lumo_host.h"

using namespace lumo_test;
