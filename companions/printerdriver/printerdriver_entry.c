/* The driver files describe the printer; the loader still wants an entry. */
int __stdcall VEQDRV_entry(void* instance, unsigned long reason, void* reserved)
{
    (void)instance;
    (void)reason;
    (void)reserved;
    return 1;
}
