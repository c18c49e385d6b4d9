#include <iostream>

#include "cli/cli.h"
#include "io/heap_policy.h"

int main(int argc, char** argv) {
  modra::SetHeapPolicy();
  return modra::RunCli(argc, argv, std::cout, std::cerr);
}
