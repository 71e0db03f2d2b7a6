void open(Window& window)
{
    window.ui.Command1->click();
}
