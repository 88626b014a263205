// The dialog framework comes here.
