#include "picture_tool/ui/tessolin_main.h"

int main(int argc, char** argv)
{
    return qv::picture_tool::runTessolin(argc, argv);
}
