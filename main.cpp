#include "app/startup.h"

int main(int argc, char **argv)
{
    return startApplication(argc, argv);
}
