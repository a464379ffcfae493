#include "ui/Forms.h"

ApplicationForms& Forms()
{
    static ApplicationForms forms;
    return forms;
}
