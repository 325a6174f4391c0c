#include "picture_tool/ui/tessolin_main.h"

int main(int argc, char** argv)
{
    return qv::tool::runTessolin(argc, argv);
}
