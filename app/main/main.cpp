// Quorvane's entry.
#include "app/startup/startup.h"

int main(int argc, char** argv)
{
    return qv::runQuorvane(argc, argv);
}
